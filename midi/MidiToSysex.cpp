#include "midi/MidiToSysex.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "library/SoundData.h"
#include "midi/ByteReader.h"
#include "midi/SmfSysexReader.h"

namespace tarvix {
namespace {

void MarkChecksumUnchecked(std::span<std::uint8_t> msg) {
  if (msg.size() == kSoundSize) msg[offs::kChecksum] = 0x7F;
}

// Removes the event length a MIDI file puts after the F0, when the bytes
// there really are a length quantity matching the rest of the message.
std::span<std::uint8_t> StripEventLength(std::span<std::uint8_t> msg) {
  std::uint64_t value = 0;
  for (std::size_t k = 1; k <= 4 && k < msg.size(); ++k) {
    const std::uint8_t b = msg[k];
    value = (value << 7) | (b & 0x7F);
    if (b & 0x80) continue;
    if (value != msg.size() - 1 - k) return msg;
    std::memmove(msg.data() + 1, msg.data() + 1 + k, msg.size() - 1 - k);
    return msg.first(msg.size() - k);
  }
  return msg;
}

}  // namespace

namespace {

std::uint32_t LittleEndian(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

// A RIFF MIDI file ("RIFF" ... "RMID") wraps a Standard MIDI File in its
// "data" chunk. Reads up to the start of that chunk's "MThd" and returns
// where its data ends; every byte read is kept in `seen`, so that a file
// that turns out to be something else can still be scanned from the start.
std::optional<std::uint64_t> FindRiffMidiData(ByteReader& reader, std::vector<std::uint8_t>& seen) {
  auto take = [&](std::size_t n) {
    const std::size_t at = seen.size();
    seen.resize(at + n);
    const std::size_t got = reader.Read(seen.data() + at, n);
    seen.resize(at + got);
    return got == n ? seen.data() + at : nullptr;
  };
  const std::uint8_t* form = take(8);
  if (!form || std::memcmp(form + 4, "RMID", 4) != 0) return std::nullopt;
  // Only the chunks before "data" are read into `seen`, and they are small
  // (a RIFF MIDI file starts with its data chunk); a long one is no MIDI file.
  while (seen.size() < 64 * 1024) {
    const std::uint8_t* head = take(8);
    if (!head) return std::nullopt;
    const std::uint32_t size = LittleEndian(head + 4);
    if (std::memcmp(head, "data", 4) == 0) {
      const std::uint8_t* id = take(4);
      if (!id || std::memcmp(id, "MThd", 4) != 0) return std::nullopt;
      return reader.Offset() - 4 + size;
    }
    if (size > 64 * 1024 || !take(size + (size & 1))) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

MidiToSysexResult MidiToSysex(std::istream& in, const ByteSink& out, std::size_t maxMessage) {
  MidiToSysexResult result;
  ByteReader reader(in);
  std::vector<std::uint8_t> seen(4);
  seen.resize(reader.Read(seen.data(), 4));
  std::optional<std::uint64_t> end;
  if (seen.size() == 4 && std::memcmp(seen.data(), "MThd", 4) == 0)
    end = UINT64_MAX;
  else if (seen.size() == 4 && std::memcmp(seen.data(), "RIFF", 4) == 0)
    end = FindRiffMidiData(reader, seen);
  result.standardMidiFile = end.has_value();

  if (result.standardMidiFile) {
    SysexAssembler assembler(
        [&](std::span<std::uint8_t> msg) {
          MarkChecksumUnchecked(msg);
          out(msg);
        },
        maxMessage);
    SmfSysexReader(reader, assembler).Run(*end);
    result.messages = assembler.Completed();
    result.incomplete = assembler.Incomplete();
    return result;
  }

  SysexAssembler assembler(
      [&](std::span<std::uint8_t> msg) {
        const auto stripped = StripEventLength(msg);
        MarkChecksumUnchecked(stripped);
        out(stripped);
      },
      maxMessage);
  assembler.Feed(seen.data(), seen.size(), 0);
  std::array<std::uint8_t, 16 * 1024> buf{};
  for (;;) {
    const std::uint64_t at = reader.Offset();
    const std::size_t got = reader.Read(buf.data(), buf.size());
    if (got == 0) break;
    assembler.Feed(buf.data(), got, at);
  }
  assembler.Abandon();
  result.messages = assembler.Completed();
  result.incomplete = assembler.Incomplete();
  return result;
}

}  // namespace tarvix
