#pragma once
// Small builders for test sounds and files.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "library/InitSound.h"
#include "library/SoundData.h"
#include "tests/support/ScriptPrompter.h"
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

inline void SelectOnly(BankSet& set, std::initializer_list<int> rows) {
  set.ClearSelection();
  for (int i : rows) set.Select(i);
}

inline void WriteSounds(const std::filesystem::path& p, const std::vector<SoundData>& sounds) {
  std::vector<std::uint8_t> bytes;
  for (const auto& s : sounds) bytes.insert(bytes.end(), s.bytes.begin(), s.bytes.end());
  WriteAll(p, bytes);
}

// Answers questions from a script; file dialogs return the names given.
struct ScriptedPrompter : ScriptPrompter {
  std::optional<std::string> openName, saveName;
  std::optional<std::string> OpenFileName(const FileRequest&) override { return openName; }
  std::optional<std::string> SaveFileName(const FileRequest&) override { return saveName; }
};

}  // namespace tarvix::test
