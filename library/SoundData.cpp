#include "library/SoundData.h"

#include <algorithm>
#include <cstdio>

namespace tarvix {

SoundData SoundData::FromBytes(std::span<const std::uint8_t> src) {
  SoundData s;
  std::copy_n(src.begin(), std::min(src.size(), kSoundSize), s.bytes.begin());
  return s;
}

std::string GetSoundName(const SoundData& s) {
  std::string name;
  name.reserve(offs::kNameLength);
  for (std::size_t i = 0; i < offs::kNameLength; ++i) {
    const std::uint8_t c = s[offs::kName + i];
    if (c >= 32) name.push_back(static_cast<char>(c));
  }
  return name;
}

void SetSoundName(SoundData& s, std::string_view name) {
  for (std::size_t i = 0; i < offs::kNameLength; ++i)
    s[offs::kName + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : std::uint8_t{' '};
}

std::string TrimControlAndBlanks(std::string_view text) {
  auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t b = 0, e = text.size();
  while (b < e && isSpace(text[b])) ++b;
  while (e > b && isSpace(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::string TrimmedSoundName(const SoundData& s) { return TrimControlAndBlanks(GetSoundName(s)); }

const std::array<std::string_view, kCategoryCount>& CategoryNames() {
  static constexpr std::array<std::string_view, kCategoryCount> names = {
      "Init", "Arp", "Atmo", "Bass", "Drum", "FX", "Keys", "Lead", "Mono", "Pad", "Perc", "Poly", "Seq"};
  return names;
}

std::string CategoryName(std::uint8_t category) {
  if (category < kCategoryCount) return std::string(CategoryNames()[category]);
  return std::to_string(category);
}

std::optional<std::string> CategoryKey(std::uint8_t category) {
  if (category >= kCategoryCount) return std::nullopt;
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02d", category);
  return std::string(buf);
}

std::string SlotLabel(int index) {
  if (index < 0 || index >= kSlotCount) return {};
  char buf[8];
  std::snprintf(buf, sizeof buf, "%c%03d", BankLetter(index / kProgramsPerBank), index % kProgramsPerBank + 1);
  return buf;
}

std::uint8_t ChecksumOf(const SoundData& s) {
  // Summing bytes 4..389 and taking off 0x10 and the bank and program bytes is
  // the same as byte 4 - 0x10 plus the parameter bytes; both are kept 7-bit.
  unsigned sum = s[offs::kCommand];
  for (std::size_t i = offs::kFirstParameter; i <= offs::kLastParameter; ++i) sum += s[i];
  return static_cast<std::uint8_t>((sum - 0x10u) & 0x7Fu);
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() * 2);
  for (char ch : latin1) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace tarvix
