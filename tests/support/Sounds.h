#pragma once
// Small builders for test sounds and files.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "library/InitSound.h"
#include "library/Prompter.h"
#include "library/SoundData.h"
#include "tests/support/TempDir.h"

namespace tarvix::test {

inline SoundData MakeSound(const std::string& name, std::uint8_t category = 0, int bank = 0, int program = 0,
                           std::uint8_t fill = 0) {
  SoundData s = MakeDefaultInitSound();
  s[offs::kBank] = static_cast<std::uint8_t>(bank);
  s[offs::kProgram] = static_cast<std::uint8_t>(program);
  if (fill) s[100] = fill;
  SetSoundName(s, name);
  SetCategory(s, category);
  return s;
}

inline void WriteSounds(const std::filesystem::path& p, const std::vector<SoundData>& sounds) {
  std::vector<std::uint8_t> bytes;
  for (const auto& s : sounds) bytes.insert(bytes.end(), s.bytes.begin(), s.bytes.end());
  WriteAll(p, bytes);
}

// Answers questions from a script and records them; file dialogs return the
// names given.
class ScriptedPrompter : public Prompter {
 public:
  std::vector<Answer> answers;
  std::vector<std::string> asked;
  std::optional<std::string> openName, saveName;
  Answer Ask(const std::string& text, Buttons) override {
    asked.push_back(text);
    if (answers.empty()) return Answer::No;
    const Answer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  std::optional<std::string> OpenFileName(const FileRequest&) override { return openName; }
  std::optional<std::string> SaveFileName(const FileRequest&) override { return saveName; }
};

}  // namespace tarvix::test
