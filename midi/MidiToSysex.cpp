#include "midi/MidiToSysex.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>
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

bool IsSoundDumpMessage(std::span<const std::uint8_t> msg) {
  if (msg.size() != kSoundSize || msg[0] != 0xF0 || msg[1] != 0x3E || msg[2] != 0x13 || msg[4] != 0x10 ||
      msg[kSoundSize - 1] != 0xF7)
    return false;
  return std::all_of(msg.begin() + 1, msg.end() - 1, [](std::uint8_t b) { return b < 0x80; });
}

MidiToSysexResult MidiToSysex(std::istream& in, const ByteSink& out, std::size_t maxMessage) {
  MidiToSysexResult result;
  auto keep = [&](std::span<std::uint8_t> msg) {
    if (!IsSoundDumpMessage(msg)) {
      ++result.skipped;
      return;
    }
    MarkChecksumUnchecked(msg);
    out(msg);
    ++result.messages;
  };
  auto keepStripped = [&](std::span<std::uint8_t> msg) { keep(StripEventLength(msg)); };
  auto count = [&](const SysexAssembler& a) { result.incomplete += a.Incomplete(); };

  ByteReader reader(in);
  // Feeds the rest of the input to a scanning assembler; a message beyond
  // the capture limit ends the scan with its reason.
  auto scanRest = [&](SysexAssembler& a) {
    std::array<std::uint8_t, 16 * 1024> buf{};
    try {
      for (;;) {
        const std::uint64_t at = reader.Offset();
        const std::size_t got = reader.Read(buf.data(), buf.size());
        if (got == 0) break;
        a.Feed(buf.data(), got, at);
      }
    } catch (const std::runtime_error& e) {
      if (result.damage.empty()) result.damage = e.what();
    }
    a.Abandon();
    count(a);
  };

  std::vector<std::uint8_t> seen(4);
  seen.resize(reader.Read(seen.data(), 4));
  std::optional<std::uint64_t> end;
  if (seen.size() == 4 && std::memcmp(seen.data(), "MThd", 4) == 0)
    end = UINT64_MAX;
  else if (seen.size() == 4 && std::memcmp(seen.data(), "RIFF", 4) == 0)
    end = FindRiffMidiData(reader, seen);
  result.standardMidiFile = end.has_value();

  if (result.standardMidiFile) {
    SysexAssembler assembler(keep, maxMessage);
    try {
      SmfSysexReader(reader, assembler).Run(*end);
    } catch (const std::runtime_error& e) {
      result.damage = e.what();
      assembler.Abandon();
      // Past the damage the structure cannot be trusted; the rest is read
      // as a file without a header.
      SysexAssembler rest(keepStripped, maxMessage);
      scanRest(rest);
    }
    count(assembler);
    return result;
  }

  SysexAssembler assembler(keepStripped, maxMessage);
  assembler.Feed(seen.data(), seen.size(), 0);
  scanRest(assembler);
  return result;
}

}  // namespace tarvix
