#include "midi/MidiToSysex.h"

#include <algorithm>
#include <array>
#include <cstring>

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

MidiToSysexResult MidiToSysex(std::istream& in, const ByteSink& out, std::size_t maxMessage) {
  MidiToSysexResult result;
  ByteReader reader(in);
  std::array<std::uint8_t, 4> id{};
  const std::size_t idSize = reader.Read(id.data(), id.size());
  result.standardMidiFile = idSize == 4 && std::memcmp(id.data(), "MThd", 4) == 0;

  if (result.standardMidiFile) {
    SysexAssembler assembler(
        [&](std::span<std::uint8_t> msg) {
          MarkChecksumUnchecked(msg);
          out(msg);
        },
        maxMessage);
    SmfSysexReader(reader, assembler).Run();
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
  assembler.Feed(id.data(), idSize, 0);
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
