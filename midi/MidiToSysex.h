#pragma once
// MIDI file -> SysEx file: the output is exactly the System Exclusive
// messages (F0 ... F7) the file carries, in file order, back to back.
//
// A Standard MIDI File ("MThd" at the start, or wrapped in a RIFF MIDI
// file) is parsed (SmfSysexReader).
// Anything else falls back to a byte scan: every F0 ... F7 run is a message,
// and where the two bytes after the F0 — or however many a length quantity
// takes — give exactly the length of the rest, they are the event length of
// a MIDI file that lost its header and are removed.
//
// Every 392-byte message gets 7F at position 390, the checksum position of a
// sound dump: the instrument takes 7F as "do not check", which keeps a dump
// usable even when a program that wrote the file mangled the checksum.

#include <cstddef>
#include <cstdint>
#include <istream>

#include "midi/ByteSink.h"
#include "midi/SysexAssembler.h"

namespace tarvix {

struct MidiToSysexResult {
  std::size_t messages = 0;    // messages written
  std::size_t incomplete = 0;  // messages cut off before their F7, left out
  bool standardMidiFile = false;
};

MidiToSysexResult MidiToSysex(std::istream& in, const ByteSink& out,
                              std::size_t maxMessage = SysexAssembler::kDefaultMaxMessage);

}  // namespace tarvix
