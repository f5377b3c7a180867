#pragma once
// Sounds, a recording send callback and a scripted Prompter shared by the
// morph and locker tests.

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "library/BankSet.h"
#include "library/Prompter.h"
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

class ScriptedPrompter : public Prompter {
 public:
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> files;
  std::vector<std::string> asked;

  Answer Ask(const std::string& text, Buttons) override {
    asked.push_back(text);
    if (answers.empty()) return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const FileRequest& r) override { return SaveFileName(r); }
  std::optional<std::string> SaveFileName(const FileRequest& r) override {
    lastRequest = r;
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  FileRequest lastRequest;
};

}  // namespace tarvix::test
