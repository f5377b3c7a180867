#include "library/Fingerprint.h"

#include <cstdio>

namespace tarvix {

namespace {
using u128 = unsigned __int128;
// FNV-1a 128-bit offset basis and prime (2^88 + 2^8 + 0x3B).
constexpr u128 kOffsetBasis =
    (static_cast<u128>(0x6C62272E07BB0142ULL) << 64) | 0x62B821756295C58DULL;
constexpr u128 kPrime = (static_cast<u128>(1) << 88) | 0x13BULL;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool IsFingerprintedOffset(std::size_t offset) {
  if (offset < offs::kFirstParameter || offset > offs::kLastParameter) return false;
  return offset < offs::kName || offset > offs::kCategory;
}

Fingerprint FingerprintOf(const SoundData& sound) {
  u128 h = kOffsetBasis;
  for (std::size_t i = offs::kFirstParameter; i <= offs::kLastParameter; ++i) {
    if (!IsFingerprintedOffset(i)) continue;
    h ^= sound[i];
    h *= kPrime;
  }
  return Fingerprint{static_cast<std::uint64_t>(h >> 64), static_cast<std::uint64_t>(h)};
}

std::string Fingerprint::ToHex() const {
  char buf[33];
  std::snprintf(buf, sizeof buf, "%016llx%016llx", static_cast<unsigned long long>(hi),
                static_cast<unsigned long long>(lo));
  return buf;
}

std::optional<Fingerprint> Fingerprint::FromHex(std::string_view hex) {
  if (hex.size() != 32) return std::nullopt;
  Fingerprint f;
  for (std::size_t i = 0; i < 32; ++i) {
    const int d = HexDigit(hex[i]);
    if (d < 0) return std::nullopt;
    std::uint64_t& half = i < 16 ? f.hi : f.lo;
    half = (half << 4) | static_cast<std::uint64_t>(d);
  }
  return f;
}

}  // namespace tarvix
