#pragma once
// Noise sounds, slot indexes and a recording send callback shared by the tools tests.

#include <utility>
#include <vector>

#include "library/BankSet.h"
#include "library/RandomSource.h"

namespace tarvix::test {

// A well-formed dump whose parameter bytes are arbitrary 7-bit values.
inline SoundData NoiseSound(std::uint32_t seed) {
  RandomSource r(seed);
  SoundData s;
  for (auto& b : s.bytes) b = static_cast<std::uint8_t>(r.Random(128));
  s[0] = 0xF0;
  s[1] = 0x3E;
  s[2] = 0x13;
  s[4] = 0x10;
  s[391] = 0xF7;
  return s;
}

inline void FillNoise(BankSet& set, std::uint32_t seed) {
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = NoiseSound(seed + static_cast<std::uint32_t>(i) * 7919u);
}

// The slot of a bank letter and a program number counted from 1.
inline int Index(char bank, int program) { return (bank - 'A') * kProgramsPerBank + program - 1; }

struct SentLog {
  std::vector<std::pair<int, int>> messages;
  auto Fn() {
    return [this](int p, std::uint8_t v) { messages.emplace_back(p, v); };
  }
  std::vector<int> Params() const {
    std::vector<int> out;
    for (auto& m : messages) out.push_back(m.first);
    return out;
  }
};

}  // namespace tarvix::test
