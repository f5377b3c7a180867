#pragma once
// The init sound: the "empty" sound a bank set is cleared with, read anew from
// "_initsound.syx" beside the executable each time a set is filled.

#include <filesystem>

#include "library/BankSet.h"
#include "library/Log.h"

namespace tarvix {

inline constexpr const char* kInitSoundFileName = "_initsound.syx";

class InitSoundStore {
 public:
  explicit InitSoundStore(std::filesystem::path file) : file_(std::move(file)) {}
  // Reads the first 392 bytes of the file into the buffer. A missing or short
  // file is logged and the buffer keeps the last sound read (all zero bytes
  // if none was ever read); the program goes on either way.
  const SoundData& Read(Log& log);
  const SoundData& Buffer() const { return buffer_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
  SoundData buffer_{};
};

// Read the init sound and copy it into all 1024 slots; all changed flags off.
void FillWithInitSound(BankSet& set, InitSoundStore& init, Log& log);

// The neutral sound shipped as "_initsound.syx": name "Init", category Init,
// every parameter at a quiet, plain value, a correct checksum.
SoundData MakeDefaultInitSound();

// Folder of the running executable.
std::filesystem::path ProgramDirectory();

}  // namespace tarvix
