#include "tools/ProgramEntries.h"

#include <stdexcept>

namespace tarvix {

std::string ProgramEntry(const SoundData& sound, int program) {
  std::string entry = std::to_string(program + 1) + ' ';
  entry.append(reinterpret_cast<const char*>(sound.data() + offs::kName), offs::kNameLength);
  return entry;
}

std::vector<std::string> ProgramEntries(const BankSet& set, int bank) {
  if (bank < 0 || bank >= kBankCount) throw std::out_of_range("No bank " + std::to_string(bank));
  std::vector<std::string> entries;
  entries.reserve(kProgramsPerBank);
  for (int p = 0; p < kProgramsPerBank; ++p) entries.push_back(ProgramEntry(set.Sound(bank * kProgramsPerBank + p), p));
  return entries;
}

}  // namespace tarvix
