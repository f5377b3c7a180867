// Reading from the built-in instrument through the whole link: dispatcher,
// port layer, the instrument's own thread and the hand-over back to the
// interface thread, in real time.
//
//   ReadAllFromVirtualInstrument  delay 0, latency 0: the program's own
//                                 overhead per sound (ms_per_sound).
//   OneBankAtWireSpeed            the instrument sends at cable speed:
//                                 over_limit_percent against 128 dumps at
//                                 3125 bytes/s.
//   ReadAllWithDefaultDelay       fast reads off, the default 250 ms between
//                                 requests; takes over four minutes:
//                                 over_limit_percent against 1024 x 250 ms.
//   ReadAllAtWireSpeedDefaults    the program's default settings (fast reads,
//                                 250 ms delay) against the instrument at
//                                 cable speed with its default latency;
//                                 over_limit_percent against 1024 dumps at
//                                 3125 bytes/s (128.4 s).
// The two slow ones run once; skip them with
// --benchmark_filter=ReadAllFromVirtualInstrument.
#include <benchmark/benchmark.h>

#include <chrono>

#include "library/InitSound.h"
#include "bench/QuietReceiverUi.h"
#include "midi/EventLoop.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/VirtualInstrument.h"

namespace tarvix {
namespace {

using QuietUi = bench::QuietReceiverUi;

// Reads banks 0..banks-1 every iteration and reports the time per sound and,
// when limitMsPerSound > 0, how far the whole read is above that limit.
void Read(benchmark::State& state, int delayMs, bool wireSpeed, int banks, double limitMsPerSound,
          bool fastRead = false, int latencyMs = 0) {
  VirtualInstrument vi;
  vi.SetLatencyMs(latencyMs);
  vi.SetWireSpeed(wireSpeed);
  EventLoop loop;
  MemoryLog log;
  MidiService svc(nullptr, vi, loop, log);
  svc.EnumerateDevices();
  svc.OpenOutput();
  svc.OpenInputs();
  QuietUi ui;
  BankSet blofeld;
  ReceiveDispatcher d(blofeld, svc, loop, ui, log);
  svc.SetInstrumentHandler(&d);
  d.MidiDelayMs = delayMs;
  d.FastRead = fastRead;
  const int sounds = banks * kProgramsPerBank;
  int stored = 0;
  d.OnSlotChanged = [&](int) { ++stored; };
  double seconds = 0;
  for (auto _ : state) {
    stored = 0;
    log.lines.clear();
    const auto start = std::chrono::steady_clock::now();
    d.ReadBanks(0, banks - 1);
    loop.RunUntil([&] { return !d.Busy(); }, sounds * (delayMs + 1000));
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    d.DialogCloseClicked();
    if (stored != sounds) state.SkipWithError("not every sound arrived");
  }
  const double msPerSound = 1000.0 * seconds / static_cast<double>(state.iterations() * sounds);
  state.SetItemsProcessed(state.iterations() * sounds);
  state.counters["ms_per_sound"] = msPerSound;
  if (limitMsPerSound > 0) state.counters["over_limit_percent"] = 100.0 * (msPerSound / limitMsPerSound - 1);
}

void BM_ReadAllFromVirtualInstrument(benchmark::State& state) { Read(state, 0, false, kBankCount, 0); }
BENCHMARK(BM_ReadAllFromVirtualInstrument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OneBankAtWireSpeed(benchmark::State& state) {
  Read(state, 0, true, 1, 1000.0 * kSoundSize / VirtualInstrument::kWireBytesPerSecond);
}
BENCHMARK(BM_OneBankAtWireSpeed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ReadAllWithDefaultDelay(benchmark::State& state) { Read(state, 250, false, kBankCount, 250); }
BENCHMARK(BM_ReadAllWithDefaultDelay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ReadAllAtWireSpeedDefaults(benchmark::State& state) {
  Read(state, 250, true, kBankCount, 1000.0 * kSoundSize / VirtualInstrument::kWireBytesPerSecond, true,
       VirtualInstrument::kDefaultLatencyMs);
}
BENCHMARK(BM_ReadAllAtWireSpeedDefaults)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace tarvix
