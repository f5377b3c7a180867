#include "midi/SysexToMidi.h"

#include <array>
#include <limits>
#include <stdexcept>
#include <string>

#include "library/SoundData.h"
#include "midi/ByteReader.h"

namespace tarvix {
namespace {

constexpr std::uint64_t kMaxEvents =
    (std::numeric_limits<std::uint32_t>::max() - kMidiEndOfTrackSize) / kMidiEventSize;

std::uint64_t StreamSize(std::istream& in) {
  const auto start = in.tellg();
  in.seekg(0, std::ios::end);
  const auto end = in.tellg();
  in.seekg(start);
  if (start < 0 || end < 0 || !in) throw std::runtime_error("cannot determine the file size");
  return static_cast<std::uint64_t>(end - start);
}

}  // namespace

std::uint64_t MidiFileSizeFor(std::uint64_t sysexSize) {
  return kMidiHeaderSize + (sysexSize / kSoundSize) * kMidiEventSize + kMidiEndOfTrackSize;
}

std::size_t SysexToMidi(std::istream& in, const ByteSink& out) {
  const std::uint64_t n = StreamSize(in) / kSoundSize;
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

  // The block is read straight into the event at position 3, so its bytes
  // 1..390 land where the event wants them; its first byte (F0) and last
  // byte (F7) are then overwritten by the event's framing.
  std::array<std::uint8_t, kMidiEventSize> event{};
  static_assert(3 + kSoundSize == kMidiEventSize);
  ByteReader reader(in);
  for (std::uint64_t k = 0; k < n; ++k) {
    if (reader.Read(event.data() + 3, kSoundSize) != kSoundSize)
      throw std::runtime_error("the file became shorter while it was read");
    event[0] = k == 0 ? 0x00 : 0x18;  // delta time: the first at once, then 24 ticks (125 ms at 120 bpm)
    event[1] = 0xF0;                  // System Exclusive event
    event[2] = 0x83;                  // data length 391 as a variable-length quantity: 83 07
    event[3] = 0x07;
    event[kMidiEventSize - 1] = 0xF7;  // end of the SysEx message, after the block's positions 1..390
    out(event);
  }

  const std::array<std::uint8_t, kMidiEndOfTrackSize> endOfTrack{
      0x18,  // 24 ticks after the last event
      0xFF, 0x2F, 0x00,  // meta event: end of track, no data
  };
  out(endOfTrack);
  return static_cast<std::size_t>(n);
}

}  // namespace tarvix
