#pragma once
// A sound's identity apart from what a musician relabels: a 128-bit hash of
// the parameter bytes, leaving out the name, the category, the header (device,
// bank, program) and the checksum. Two dumps of the same sound stored under
// other names, in other slots or from another device id share a fingerprint.
// The sound library keys its sounds on it and the duplicate finder groups by it.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/SoundData.h"

namespace tarvix {

struct Fingerprint {
  std::uint64_t hi = 0;
  std::uint64_t lo = 0;
  auto operator<=>(const Fingerprint&) const = default;

  // 32 lower-case hex digits, high half first.
  std::string ToHex() const;
  static std::optional<Fingerprint> FromHex(std::string_view hex);
};

// Whether the byte at this dump offset is part of what the fingerprint covers.
bool IsFingerprintedOffset(std::size_t offset);

// FNV-1a, 128-bit, over the covered bytes in offset order.
Fingerprint FingerprintOf(const SoundData& sound);

}  // namespace tarvix
