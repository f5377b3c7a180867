#include "tools/SingleSoundFile.h"

#include "library/AtomicFile.h"

namespace tarvix {

bool SaveSingleSound(const SoundData& sound, const std::filesystem::path& file, Prompter& prompter) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    if (prompter.Ask(questions::kReplace, Buttons::YesNoCancel) != Answer::Yes) return false;
  }
  WriteFileAtomically(file, std::span<const std::uint8_t>(sound.bytes));
  return true;
}

}  // namespace tarvix
