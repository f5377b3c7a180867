#pragma once
// MIDI file -> SysEx sound file. Only the instrument's sound dumps (392-byte
// messages F0 3E 13 dd 10 ... F7) go into the output, in file order, back
// to back: anything else (a GM reset, another device's messages) would list
// as garbled sounds. Other messages are skipped and counted.
//
// A Standard MIDI File ("MThd" at the start, or wrapped in a RIFF MIDI
// file) is parsed (SmfSysexReader).
// Anything else falls back to a byte scan: every F0 ... F7 run is a message,
// and where the two bytes after the F0 — or however many a length quantity
// takes — give exactly the length of the rest, they are the event length of
// a MIDI file that lost its header and are removed.
//
// A damaged MIDI file gives back what it can: the parse keeps every dump it
// completed before the damage, notes the reason, and the rest of the file is
// searched byte by byte like a file without a header, so dumps behind a
// stray byte are found too. Nothing is thrown for damaged content.
//
// Every dump gets 7F at position 390, its checksum position: the instrument
// takes 7F as "do not check", which keeps a dump usable even when a program
// that wrote the file mangled the checksum.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>

#include "midi/ByteSink.h"
#include "midi/SysexAssembler.h"

namespace tarvix {

struct MidiToSysexResult {
  std::size_t messages = 0;    // sound dumps written
  std::size_t incomplete = 0;  // messages cut off before their F7, left out
  std::size_t skipped = 0;     // complete messages that are no sound dump, left out
  std::string damage;          // why the file could not be read to its end; empty when it could
  bool standardMidiFile = false;
};

// A whole sound dump of the instrument: 392 bytes, F0 3E 13 dd 10, data
// bytes only, F7 (the checksum is not looked at).
bool IsSoundDumpMessage(std::span<const std::uint8_t> msg);

MidiToSysexResult MidiToSysex(std::istream& in, const ByteSink& out,
                              std::size_t maxMessage = SysexAssembler::kDefaultMaxMessage);

}  // namespace tarvix
