#pragma once
// SysEx sound file -> Standard MIDI file. Every full 392-byte block of the
// input becomes one System Exclusive event of a single-track, format 0 file
// at 96 ticks per quarter note, the events 24 ticks apart. A trailing block
// shorter than a sound dump is left out. The blocks are not inspected: their
// first and last bytes are replaced by the event's own framing.

#include <cstdint>
#include <istream>

#include "midi/ByteSink.h"

namespace tarvix {

inline constexpr std::size_t kMidiHeaderSize = 22;     // MThd chunk + MTrk id + length
inline constexpr std::size_t kMidiEventSize = 395;     // delta, F0, 83 07, 390 bytes, F7
inline constexpr std::size_t kMidiEndOfTrackSize = 4;  // 18 FF 2F 00

// Size of the MIDI file made from a SysEx file of sysexSize bytes.
std::uint64_t MidiFileSizeFor(std::uint64_t sysexSize);

// Converts the whole of `in` (which must be seekable, to learn the size for
// the track length written up front) and returns the number of events
// written. Throws std::runtime_error when the input is too large for a MIDI
// track or changes size while being read.
std::size_t SysexToMidi(std::istream& in, const ByteSink& out);

}  // namespace tarvix
