#include "midi/SysexToMidi.h"

#include <algorithm>
#include <array>
#include <vector>
#include <limits>
#include <stdexcept>
#include <string>

#include "library/SoundData.h"
#include "midi/ByteReader.h"
#include "midi/MidiToSysex.h"
#include "midi/SysexAssembler.h"

namespace tarvix {
namespace {

constexpr std::uint64_t kMaxEvents =
    (std::numeric_limits<std::uint32_t>::max() - kMidiEndOfTrackSize) / kMidiEventSize;

}  // namespace

std::uint64_t MidiFileSizeFor(std::uint64_t sysexSize) {
  return kMidiHeaderSize + (sysexSize / kSoundSize) * kMidiEventSize + kMidiEndOfTrackSize;
}

SysexToMidiResult SysexToMidi(std::istream& in, const ByteSink& out) {
  SysexToMidiResult result;
  std::vector<std::uint8_t> dumps;
  std::uint64_t inMessages = 0, total = 0;
  SysexAssembler assembler([&](std::span<std::uint8_t> msg) {
    inMessages += msg.size();
    if (IsSoundDumpMessage(msg))
      dumps.insert(dumps.end(), msg.begin(), msg.end());
    else
      ++result.skipped;
  });
  ByteReader reader(in);
  std::array<std::uint8_t, 16 * 1024> buf{};
  for (;;) {
    const std::uint64_t at = reader.Offset();
    const std::size_t got = reader.Read(buf.data(), buf.size());
    if (got == 0) break;
    total += got;
    assembler.Feed(buf.data(), got, at);
  }
  assembler.Abandon();
  result.skipped += assembler.Incomplete();
  const std::uint64_t n = dumps.size() / kSoundSize;
  // Bytes of messages cut off count as stray: they belong to no message.
  result.strayBytes = total - inMessages;
  result.events = static_cast<std::size_t>(n);
  if (n > kMaxEvents) throw std::runtime_error("too large for a MIDI file (" + std::to_string(n) + " sounds)");
  const auto trackLength = static_cast<std::uint32_t>(n * kMidiEventSize + kMidiEndOfTrackSize);

  const std::array<std::uint8_t, kMidiHeaderSize> header{
      'M', 'T', 'h', 'd',  // header chunk
      0x00, 0x00, 0x00, 0x06,  // header length: 6
      0x00, 0x00,  // format 0: one track
      0x00, 0x01,  // number of tracks
      0x00, 0x60,  // 96 ticks per quarter note
      'M', 'T', 'r', 'k',  // the track chunk
      static_cast<std::uint8_t>(trackLength >> 24),  // track length, big-endian
      static_cast<std::uint8_t>(trackLength >> 16),
      static_cast<std::uint8_t>(trackLength >> 8),
      static_cast<std::uint8_t>(trackLength),
  };
  out(header);

  // Each dump's bytes 1..390 go into the event after its own framing; the
  // dump's F0 and F7 are the event's.
  std::array<std::uint8_t, kMidiEventSize> event{};
  static_assert(3 + kSoundSize == kMidiEventSize);
  for (std::uint64_t k = 0; k < n; ++k) {
    std::copy_n(dumps.begin() + static_cast<std::ptrdiff_t>(k * kSoundSize), kSoundSize, event.begin() + 3);
    event[0] = k == 0 ? 0x00 : 0x18;  // delta time: the first at once, then 24 ticks (125 ms at 120 bpm)
    event[1] = 0xF0;                  // System Exclusive event
    event[2] = 0x83;                  // data length 391 as a variable-length quantity: 83 07
    event[3] = 0x07;
    event[kMidiEventSize - 1] = 0xF7;  // end of the SysEx message, after the dump's positions 1..390
    out(event);
  }

  const std::array<std::uint8_t, kMidiEndOfTrackSize> endOfTrack{
      0x18,  // 24 ticks after the last event
      0xFF, 0x2F, 0x00,  // meta event: end of track, no data
  };
  out(endOfTrack);
  return result;
}

}  // namespace tarvix
