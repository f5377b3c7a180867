#pragma once
// One sound, held everywhere as the instrument's complete 392-byte sound dump
// message (F0 ... F7). Offsets used throughout the program are positions in
// this message; offset 0 is the SysEx start byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvix {

inline constexpr std::size_t kSoundSize = 392;
inline constexpr int kSlotCount = 1024;  // 8 banks x 128 programs
inline constexpr int kProgramsPerBank = 128;
inline constexpr int kBankCount = 8;

// Positions inside the dump message.
namespace offs {
inline constexpr std::size_t kStart = 0;        // F0
inline constexpr std::size_t kManufacturer = 1; // 3E, Waldorf
inline constexpr std::size_t kModel = 2;        // 13, Blofeld
inline constexpr std::size_t kDeviceId = 3;
inline constexpr std::size_t kCommand = 4;      // 10, sound dump
inline constexpr std::size_t kBank = 5;         // 0..7, or 7F for the edit buffer
inline constexpr std::size_t kProgram = 6;      // 0..127
inline constexpr std::size_t kFirstParameter = 7;
inline constexpr std::size_t kLastParameter = 389;
inline constexpr std::size_t kName = 370;       // 16 characters
inline constexpr std::size_t kNameLength = 16;
inline constexpr std::size_t kCategory = 386;
inline constexpr std::size_t kChecksum = 390;
inline constexpr std::size_t kEnd = 391;        // F7
}  // namespace offs

inline constexpr std::uint8_t kEmptyCategory = 0xFF;  // marks an empty slot
inline constexpr std::uint8_t kEditBufferBank = 0x7F;
inline constexpr int kCategoryCount = 13;

// The sound dump as a plain value type, copied whole.
struct SoundData {
  std::array<std::uint8_t, kSoundSize> bytes{};

  std::uint8_t& operator[](std::size_t i) { return bytes[i]; }
  std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
  std::uint8_t* data() { return bytes.data(); }
  const std::uint8_t* data() const { return bytes.data(); }
  static constexpr std::size_t size() { return kSoundSize; }
  bool operator==(const SoundData&) const = default;

  static SoundData FromBytes(std::span<const std::uint8_t> src);
};

// The 16 name bytes in order, leaving out every byte below 32. Bytes 32..255
// are kept as they are (Latin-1), trailing blanks included; nothing is trimmed.
std::string GetSoundName(const SoundData& s);
// Cut to 16 characters, pad with blanks to 16, store. Characters are not
// filtered: the callers limit what can be typed.
void SetSoundName(SoundData& s, std::string_view name);
// GetSoundName with leading and trailing blanks and control characters
// (codes 0..32) removed: the form shown in questions and the Blofeld rename box.
std::string TrimmedSoundName(const SoundData& s);
// Trim leading and trailing characters with codes 0..32.
std::string TrimControlAndBlanks(std::string_view text);

inline std::uint8_t GetCategory(const SoundData& s) { return s[offs::kCategory]; }
inline void SetCategory(SoundData& s, std::uint8_t c) { s[offs::kCategory] = c; }
inline bool IsEmptySlot(const SoundData& s) { return s[offs::kCategory] == kEmptyCategory; }

// "Init", "Arp", ... "Seq"; any other value as its decimal number.
std::string CategoryName(std::uint8_t category);
// The thirteen category names in order, for every category choice list.
const std::array<std::string_view, kCategoryCount>& CategoryNames();
// "00".."12" for the category sort; no key above 12.
std::optional<std::string> CategoryKey(std::uint8_t category);

// "A001".."H128" for flat index 0..1023; "" outside that range.
std::string SlotLabel(int index);
inline constexpr char BankLetter(int bank) { return static_cast<char>('A' + bank); }

// The 7-bit checksum of a dump as the instrument computes it: the low seven
// bits of (byte 4 - 0x10 + sum of the parameter bytes 7..389).
std::uint8_t ChecksumOf(const SoundData& s);

// Latin-1 bytes to UTF-8, for output outside the program (JSON, terminals).
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace tarvix
