#pragma once
// The program's one random source: a 32-bit linear congruential generator,
// seeded once at start from the time of day. Randomizers, the morph's and the
// locker's random choices all draw from it, so a seed reproduces a session.

#include <cstdint>

namespace tarvix {

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed = 0) : seed_(seed) {}
  // seed := seed * 134775813 + 1 (mod 2^32); the result is the high 32 bits
  // of the 64-bit product seed * n, so it lies in 0..n-1 (0 when n is 0).
  std::uint32_t Random(std::uint32_t n);
  std::uint32_t Seed() const { return seed_; }
  void SetSeed(std::uint32_t seed) { seed_ = seed; }

  // ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds, local time.
  static std::uint32_t TimeOfDaySeed();
  // The shared instance, seeded from the time of day on first use.
  static RandomSource& Program();

 private:
  std::uint32_t seed_;
};

}  // namespace tarvix
