#pragma once
// Writing one sound as a one-record SysEx file, as the morph and the locker
// save their results: the replace question first, then an atomic write of
// exactly the 392 bytes.

#include <filesystem>

#include "library/Prompter.h"
#include "library/SoundData.h"

namespace tarvix {

// Asks "Do you want to replace it?" (Yes/No/Cancel) when the file exists;
// anything but Yes writes nothing and returns false. Returns true once the
// file holds the sound. Throws std::runtime_error naming the file when it
// cannot be written; an existing file is then left as it was.
bool SaveSingleSound(const SoundData& sound, const std::filesystem::path& file, Prompter& prompter);

}  // namespace tarvix
