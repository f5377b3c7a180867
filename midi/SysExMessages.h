#pragma once
// The instrument's own System Exclusive messages, byte by byte, and the
// operations that send them. Every message carries the configured device id;
// the instrument ignores messages addressed to another id (127 reaches all).

#include <array>
#include <cstdint>
#include <span>

#include "library/BankSet.h"
#include "midi/GlobalData.h"
#include "midi/MidiService.h"

namespace tarvix {

namespace sysex {
inline constexpr std::uint8_t kStart = 0xF0;
inline constexpr std::uint8_t kEnd = 0xF7;
inline constexpr std::uint8_t kWaldorf = 0x3E;
inline constexpr std::uint8_t kBlofeld = 0x13;
inline constexpr std::uint8_t kSoundRequest = 0x00;
inline constexpr std::uint8_t kGlobalRequest = 0x04;
inline constexpr std::uint8_t kSoundDump = 0x10;
inline constexpr std::uint8_t kGlobalDump = 0x14;
inline constexpr std::uint8_t kParameterChange = 0x20;
inline constexpr int kParameterCount = 383;
}  // namespace sysex

std::array<std::uint8_t, 9> SoundRequestMessage(std::uint8_t deviceId, std::uint8_t bank, std::uint8_t program);
std::array<std::uint8_t, 6> GlobalRequestMessage(std::uint8_t deviceId);
// parameter 0..382 (a sound offset minus 7); throws std::invalid_argument
// outside that range. The value is sent as its low seven bits.
std::array<std::uint8_t, 10> ParameterChangeMessage(std::uint8_t deviceId, std::uint8_t location, int parameter,
                                                    std::uint8_t value);
// A copy of the sound addressed to the edit buffer: bank 7F, program 0 and
// 7F in place of the checksum, which the instrument accepts as "any".
SoundData EditBufferDump(const SoundData& sound);

// Sends a sound request; returns false and sends nothing when bank or
// program is FF (what an empty request stack pops).
bool SoundRequest(MidiOut& out, std::uint8_t deviceId, std::uint8_t bank, std::uint8_t program);
void GlobalRequest(MidiOut& out, std::uint8_t deviceId);
void ParameterChange(MidiOut& out, std::uint8_t deviceId, int parameter, std::uint8_t value);
// The slot's stored bytes, data bytes masked to seven bits; whether the port
// accepted the dump. The caller refreshes checksums (and with them the device
// id, bank and program) beforehand.
bool TransmitSlot(InstrumentLink& link, const BankSet& blofeld, int index);
void SendSoundToEditBuffer(MidiOut& out, const SoundData& sound);
// Recomputes the checksum (position 78) into the kept data, then sends it.
void SendGlobals(MidiOut& out, GlobalData& global);

// Whether bytes are a complete, intact sound dump: header, end byte, and a
// checksum that either matches or is the 7F wildcard.
bool IsIntactSoundDump(std::span<const std::uint8_t> bytes);
// A reason why bytes are not an intact sound dump, or "" when they are. With
// wildcardAccepted false a checksum byte of 7F must be the real sum too: an
// instrument known to compute checksums sends no wildcard, so a 7F that is
// not the sum marks damage.
const char* SoundDumpDefect(std::span<const std::uint8_t> bytes, bool wildcardAccepted = true);
bool IsGlobalDump(std::span<const std::uint8_t> bytes);

}  // namespace tarvix
