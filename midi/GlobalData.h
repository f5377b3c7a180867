#pragma once
// The instrument's 80-byte global dump as received: F0 3E 13 dd 14, the
// global parameters at 5..77, the checksum at 78 and F7. The program reads
// only multi mode and the bank and program of each of the 16 parts.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarvix {

inline constexpr std::size_t kGlobalDataSize = 80;
inline constexpr int kPartCount = 16;

struct GlobalData {
  std::array<std::uint8_t, kGlobalDataSize> bytes{};

  static constexpr std::size_t kMultiMode = 6;
  static constexpr std::size_t kChecksum = 78;
  static constexpr std::size_t PartBankOffset(int part) { return 7 + 2 * static_cast<std::size_t>(part); }
  static constexpr std::size_t PartProgramOffset(int part) { return 8 + 2 * static_cast<std::size_t>(part); }

  bool MultiMode() const { return bytes[kMultiMode] == 1; }
  void SetMultiMode(bool on) { bytes[kMultiMode] = on ? 1 : 0; }
  std::uint8_t PartBank(int part) const { return bytes[PartBankOffset(part)]; }
  std::uint8_t PartProgram(int part) const { return bytes[PartProgramOffset(part)]; }
  // Stores the bank and program of a flat slot index as the part's sound.
  void SetPartSound(int part, int flatIndex);
  // (sum of 5..77) AND 7F.
  std::uint8_t ComputeChecksum() const;
  bool operator==(const GlobalData&) const = default;
};

}  // namespace tarvix
