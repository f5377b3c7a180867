#include "midi/PartsTree.h"

#include <cstdio>

namespace tarvix {

std::vector<std::string> PartsTreeEntries(const GlobalData& global, const BankSet& blofeld) {
  const int count = global.MultiMode() ? kPartCount : 1;
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (int p = 0; p < count; ++p) {
    const int bank = global.PartBank(p), program = global.PartProgram(p);
    char head[32];
    std::snprintf(head, sizeof head, "Part %02d  -  %c%03d ", p + 1, static_cast<char>('A' + bank), program + 1);
    // A bank or program outside the banks (damaged global data) names no slot.
    const int slot = bank < kBankCount && program < kProgramsPerBank ? bank * kProgramsPerBank + program : -1;
    entries.push_back(head + GetSoundName(blofeld, slot));
  }
  return entries;
}

int KeyboardChannel(int selectedEntry, int entryCount) {
  if (selectedEntry < 0 || selectedEntry >= entryCount || selectedEntry > 15) return 0;
  return selectedEntry;
}

}  // namespace tarvix
