#pragma once
// SysEx sound file -> Standard MIDI file. The input is read as the F0 ... F7
// messages it holds; every sound dump among them (392 bytes) becomes one
// System Exclusive event of a single-track, format 0 file at 96 ticks per
// quarter note, the events 24 ticks apart. Anything else (other messages, a
// dump cut short, bytes between messages) is skipped and counted: reading
// the file in fixed 392-byte blocks would shift every sound after one
// foreign message.

#include <cstdint>
#include <istream>

#include "midi/ByteSink.h"

namespace tarvix {

inline constexpr std::size_t kMidiHeaderSize = 22;     // MThd chunk + MTrk id + length
inline constexpr std::size_t kMidiEventSize = 395;     // delta, F0, 83 07, 390 bytes, F7
inline constexpr std::size_t kMidiEndOfTrackSize = 4;  // 18 FF 2F 00

// Size of the MIDI file made from a SysEx file of sysexSize bytes of sound
// dumps and nothing else.
std::uint64_t MidiFileSizeFor(std::uint64_t sysexSize);

struct SysexToMidiResult {
  std::size_t events = 0;      // sound dumps written as events
  std::size_t skipped = 0;     // messages left out: no sound dump, or cut off
  std::uint64_t strayBytes = 0;  // bytes outside any message
};

// Converts the whole of `in`. The dumps are gathered first, as the track
// length goes up front. Throws std::runtime_error when there are too many
// for a MIDI track.
SysexToMidiResult SysexToMidi(std::istream& in, const ByteSink& out);

}  // namespace tarvix
