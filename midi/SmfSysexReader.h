#pragma once
// Reads a Standard MIDI File properly, chunk by chunk and event by event, and
// hands the bytes of its System Exclusive events to an assembler. Parsing the
// structure (instead of scanning for F0 bytes) matters: an F0 can turn up in
// a chunk length or a delta time — a 68-sound file has track length
// 00 00 68 F0 — and a scan would start a bogus message there.
//
// Understood: any format, every MTrk chunk in file order, unknown chunks
// skipped, variable-length delta times, running status, meta events, F0
// events, F7 events both as continuation packets of a divided message and as
// escapes carrying whole messages. Every length is checked against its chunk
// and the input; a malformed or truncated file raises std::runtime_error
// naming what is wrong and where.

#include <cstdint>
#include <string>

#include "midi/ByteReader.h"
#include "midi/SysexAssembler.h"

namespace tarvix {

class SmfSysexReader {
 public:
  SmfSysexReader(ByteReader& reader, SysexAssembler& assembler) : r_(reader), asm_(assembler) {}
  // Call with the reader just past the "MThd" id. `end` is the offset where
  // the MIDI data stops, when it is wrapped in another file (RIFF MIDI).
  void Run(std::uint64_t end = UINT64_MAX);
  int TracksRead() const { return tracks_; }

 private:
  void ParseTrack(std::uint64_t end);
  std::uint8_t Byte(std::uint64_t end);
  std::uint32_t Vlq(std::uint64_t end);
  std::uint32_t BigEndian(int bytes);
  void Need(std::uint64_t n, std::uint64_t end);
  void SkipExactly(std::uint64_t n);
  void FeedExactly(std::uint64_t n);
  [[noreturn]] void Malformed(const std::string& what, std::uint64_t offset) const;
  [[noreturn]] void Truncated() const;

  ByteReader& r_;
  SysexAssembler& asm_;
  int tracks_ = 0;
};

}  // namespace tarvix
