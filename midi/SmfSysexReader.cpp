#include "midi/SmfSysexReader.h"

#include <array>
#include <stdexcept>

namespace tarvix {

void SmfSysexReader::Malformed(const std::string& what, std::uint64_t offset) const {
  throw std::runtime_error("not a valid MIDI file: " + what + " at byte " + std::to_string(offset));
}

void SmfSysexReader::Truncated() const {
  throw std::runtime_error("the MIDI file is cut off at byte " + std::to_string(r_.Offset()));
}

std::uint32_t SmfSysexReader::BigEndian(int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) {
    std::uint8_t b = 0;
    if (!r_.Get(b)) Truncated();
    v = (v << 8) | b;
  }
  return v;
}

void SmfSysexReader::SkipExactly(std::uint64_t n) {
  if (r_.Skip(n) != n) Truncated();
}

void SmfSysexReader::FeedExactly(std::uint64_t n) {
  std::array<std::uint8_t, 4096> buf{};
  while (n > 0) {
    const std::uint64_t at = r_.Offset();
    const std::size_t want = n < buf.size() ? static_cast<std::size_t>(n) : buf.size();
    const std::size_t got = r_.Read(buf.data(), want);
    asm_.Feed(buf.data(), got, at);
    if (got != want) Truncated();
    n -= got;
  }
}

void SmfSysexReader::Need(std::uint64_t n, std::uint64_t end) {
  if (n > end - r_.Offset()) Malformed("an event runs past the end of its track", r_.Offset());
}

std::uint8_t SmfSysexReader::Byte(std::uint64_t end) {
  if (r_.Offset() >= end) Malformed("an event runs past the end of its track", r_.Offset());
  std::uint8_t b = 0;
  if (!r_.Get(b)) Truncated();
  return b;
}

std::uint32_t SmfSysexReader::Vlq(std::uint64_t end) {
  const std::uint64_t at = r_.Offset();
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t b = Byte(end);
    v = (v << 7) | (b & 0x7F);
    if (!(b & 0x80)) return v;
  }
  Malformed("a variable-length number longer than four bytes", at);
}

void SmfSysexReader::Run(std::uint64_t end) {
  const std::uint64_t headerAt = r_.Offset();
  const std::uint32_t headerLength = BigEndian(4);
  if (headerLength < 6) Malformed("a header shorter than six bytes", headerAt);
  BigEndian(2);  // format: every track is read in file order, whatever the format
  const std::uint32_t declaredTracks = BigEndian(2);
  BigEndian(2);  // division: timing does not matter here
  SkipExactly(headerLength - 6);

  while (r_.Offset() < end && !r_.AtEnd()) {
    std::array<std::uint8_t, 8> head{};
    const std::size_t got = r_.Read(head.data(), head.size());
    const bool allTracksRead = static_cast<std::uint32_t>(tracks_) >= declaredTracks;
    // Some writers pad the file or leave junk after the last track; once the
    // tracks the header promised are read, a broken tail is ignored.
    if (got < head.size()) {
      if (allTracksRead) return;
      Truncated();
    }
    const std::uint64_t length = (std::uint64_t{head[4]} << 24) | (head[5] << 16) | (head[6] << 8) | head[7];
    const bool isTrack = head[0] == 'M' && head[1] == 'T' && head[2] == 'r' && head[3] == 'k';
    if (!isTrack) {
      if (r_.Skip(length) != length) {
        if (allTracksRead) return;
        Truncated();
      }
      continue;
    }
    ParseTrack(r_.Offset() + length);
    ++tracks_;
  }
  if (static_cast<std::uint32_t>(tracks_) < declaredTracks)
    throw std::runtime_error("the MIDI file ends after " + std::to_string(tracks_) + " of its " +
                             std::to_string(declaredTracks) + " tracks");
}

void SmfSysexReader::ParseTrack(std::uint64_t end) {
  std::uint8_t running = 0;
  while (r_.Offset() < end) {
    Vlq(end);  // delta time
    const std::uint64_t eventAt = r_.Offset();
    std::uint8_t status = Byte(end);
    if (status == 0xFF) {
      const std::uint8_t type = Byte(end);
      const std::uint32_t length = Vlq(end);
      Need(length, end);
      SkipExactly(length);
      if (type == 0x2F) break;  // end of track: anything after it in the chunk is not played
    } else if (status == 0xF0 || status == 0xF7) {
      const std::uint32_t length = Vlq(end);
      Need(length, end);
      // An F0 event is a message (or the first packet of one) whose F0 the
      // file leaves implicit; an F7 event is either the next packet of an
      // open message or an escape, whose own F0 ... F7 bytes make a message.
      if (status == 0xF0) asm_.Feed(0xF0, eventAt);
      FeedExactly(length);
    } else if (status >= 0xF1) {
      Malformed("an unexpected status byte", eventAt);
    } else {
      int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      if (status < 0x80) {
        // Running status: this byte is the first data byte of a message of
        // the previous type. Kept across meta and SysEx events too, as
        // lenient readers do; a valid file never relies on either way.
        if (running == 0) Malformed("a data byte without a status", eventAt);
        status = running;
        dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 0 : 1;
      }
      running = status;
      for (int i = 0; i < dataBytes; ++i) Byte(end);
    }
  }
  // After an end-of-track event the rest of the chunk is skipped; a chunk
  // length that overshoots the end of the file loses nothing there.
  if (r_.Offset() < end) r_.Skip(end - r_.Offset());
  // A divided message must end within its track; one left open is dropped.
  asm_.Abandon();
}

}  // namespace tarvix
