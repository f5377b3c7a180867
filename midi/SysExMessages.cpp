#include "midi/SysExMessages.h"

#include <stdexcept>
#include <string>

namespace tarvix {

namespace {

// Data bytes inside System Exclusive must be 7-bit: a byte with the top bit
// set would end the message early at the receiver.
constexpr std::uint8_t Data(std::uint8_t b) { return b & 0x7F; }

// A stored sound may carry top-bit bytes (a Latin-1 name read from a file).
// Masking them keeps the dump's framing intact and leaves its checksum as it
// was, since the checksum is itself a sum modulo 128.
SoundData ForWire(SoundData s) {
  for (std::size_t i = 1; i < offs::kEnd; ++i) s[i] = Data(s[i]);
  return s;
}

}  // namespace

std::array<std::uint8_t, 9> SoundRequestMessage(std::uint8_t deviceId, std::uint8_t bank, std::uint8_t program) {
  return {
      sysex::kStart,
      sysex::kWaldorf,
      sysex::kBlofeld,
      Data(deviceId),
      sysex::kSoundRequest,
      Data(bank),     // 0..7 = A..H, 7F = the edit buffer
      Data(program),  // 0..127
      0x7F,           // checksum position: the instrument takes 7F as "any"
      sysex::kEnd,
  };
}

std::array<std::uint8_t, 6> GlobalRequestMessage(std::uint8_t deviceId) {
  return {sysex::kStart, sysex::kWaldorf, sysex::kBlofeld, Data(deviceId), sysex::kGlobalRequest, sysex::kEnd};
}

std::array<std::uint8_t, 10> ParameterChangeMessage(std::uint8_t deviceId, std::uint8_t location, int parameter,
                                                    std::uint8_t value) {
  if (parameter < 0 || parameter >= sysex::kParameterCount)
    throw std::invalid_argument("Parameter number " + std::to_string(parameter) + " is outside 0..382");
  return {
      sysex::kStart,
      sysex::kWaldorf,
      sysex::kBlofeld,
      Data(deviceId),
      sysex::kParameterChange,
      Data(location),                          // 0 = the edit buffer's sound
      static_cast<std::uint8_t>(parameter / 128),  // parameter number, high seven bits
      static_cast<std::uint8_t>(parameter % 128),  // parameter number, low seven bits
      Data(value),
      sysex::kEnd,
  };
}

SoundData EditBufferDump(const SoundData& sound) {
  SoundData s = ForWire(sound);
  s[offs::kBank] = kEditBufferBank;  // address the edit buffer, not a slot
  s[offs::kProgram] = 0x00;
  s[offs::kChecksum] = 0x7F;         // wildcard checksum
  return s;
}

bool SoundRequest(MidiOut& out, std::uint8_t deviceId, std::uint8_t bank, std::uint8_t program) {
  if (bank == 0xFF || program == 0xFF) return false;
  const auto m = SoundRequestMessage(deviceId, bank, program);
  out.SendLong(m);
  return true;
}

void GlobalRequest(MidiOut& out, std::uint8_t deviceId) {
  const auto m = GlobalRequestMessage(deviceId);
  out.SendLong(m);
}

void ParameterChange(MidiOut& out, std::uint8_t deviceId, int parameter, std::uint8_t value) {
  const auto m = ParameterChangeMessage(deviceId, 0, parameter, value);
  out.SendLong(m);
}

bool TransmitSlot(InstrumentLink& link, const BankSet& blofeld, int index) {
  const SoundData s = ForWire(blofeld.Sound(index));
  return link.Transmit(s.bytes);
}

void SendSoundToEditBuffer(MidiOut& out, const SoundData& sound) {
  const SoundData s = EditBufferDump(sound);
  out.SendLong(s.bytes);
}

void SendGlobals(MidiOut& out, GlobalData& global) {
  global.bytes[GlobalData::kChecksum] = global.ComputeChecksum();
  GlobalData wire = global;
  for (std::size_t i = 1; i + 1 < kGlobalDataSize; ++i) wire.bytes[i] = Data(wire.bytes[i]);
  out.SendLong(wire.bytes);
}

const char* SoundDumpDefect(std::span<const std::uint8_t> b, bool wildcardAccepted) {
  if (b.size() != kSoundSize) return "wrong length";
  if (b[0] != sysex::kStart || b[1] != sysex::kWaldorf || b[2] != sysex::kBlofeld || b[4] != sysex::kSoundDump)
    return "not a sound dump";
  if (b[offs::kEnd] != sysex::kEnd) return "no end byte";
  for (std::size_t i = 1; i < offs::kEnd; ++i)
    if (b[i] & 0x80) return "a data byte above 7F";
  const std::uint8_t sum = b[offs::kChecksum];
  if (sum != ChecksumOf(SoundData::FromBytes(b)) && !(wildcardAccepted && sum == 0x7F)) return "checksum mismatch";
  return "";
}

bool IsIntactSoundDump(std::span<const std::uint8_t> bytes) { return *SoundDumpDefect(bytes) == '\0'; }

bool IsGlobalDump(std::span<const std::uint8_t> b) {
  return b.size() == kGlobalDataSize && b[0] == sysex::kStart && b[1] == sysex::kWaldorf &&
         b[2] == sysex::kBlofeld && b[4] == sysex::kGlobalDump && b[kGlobalDataSize - 1] == sysex::kEnd;
}

}  // namespace tarvix
