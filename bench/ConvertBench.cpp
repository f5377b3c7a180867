// Both directions of the MIDI file converter on a full 1024-sound library,
// in memory, so the figure is the converter's own speed and not the disk's.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "midi/MidiToSysex.h"
#include "midi/SysexToMidi.h"

namespace {

std::string Library() {
  std::string all;
  for (int k = 0; k < 1024; ++k) {
    std::string d(392, '\0');
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<char>((i * 31 + k) & 0x7F);
    d.front() = static_cast<char>(0xF0);
    d.replace(1, 4, "\x3E\x13\x00\x10", 4);  // the instrument's sound dumps: the converter keeps only these
    d.back() = static_cast<char>(0xF7);
    all += d;
  }
  return all;
}

std::string ToMidi(const std::string& sysex) {
  std::istringstream in(sysex, std::ios::binary);
  std::string out;
  tarvix::SysexToMidi(in, [&](std::span<const std::uint8_t> b) { out.append(reinterpret_cast<const char*>(b.data()), b.size()); });
  return out;
}

// Converts input once per iteration, counting what comes out so the work
// cannot be optimised away; the rate is in input bytes.
template <typename Convert>
void Run(benchmark::State& state, const std::string& input, Convert convert) {
  for (auto _ : state) {
    std::istringstream in(input, std::ios::binary);
    std::size_t written = 0;
    convert(in, [&](std::span<const std::uint8_t> b) { written += b.size(); });
    benchmark::DoNotOptimize(written);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(input.size()));
}

void BM_SysexToMidi(benchmark::State& state) {
  Run(state, Library(), [](std::istream& in, auto sink) { tarvix::SysexToMidi(in, sink); });
}
BENCHMARK(BM_SysexToMidi);

void BM_MidiToSysex(benchmark::State& state) {
  Run(state, ToMidi(Library()), [](std::istream& in, auto sink) { tarvix::MidiToSysex(in, sink); });
}
BENCHMARK(BM_MidiToSysex);

// A file without a header goes through the byte scan instead.
void BM_MidiToSysexByteScan(benchmark::State& state) {
  std::string midi = ToMidi(Library());
  midi.erase(0, 22);
  Run(state, midi, [](std::istream& in, auto sink) { tarvix::MidiToSysex(in, sink); });
}
BENCHMARK(BM_MidiToSysexByteScan);

}  // namespace
