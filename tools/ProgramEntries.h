#pragma once
// The entries of a program list in the slot-choosing dialogs: "p Name" with
// p = 1..128 and the sound's 16 name bytes exactly as stored.

#include <string>
#include <vector>

#include "library/BankSet.h"

namespace tarvix {

// Entry for program 0..127 of a sound: program + 1, one blank, the 16 name
// bytes each taken as a (Latin-1) character, trailing blanks included.
std::string ProgramEntry(const SoundData& sound, int program);
// The 128 entries of one bank (0..7) of a set.
std::vector<std::string> ProgramEntries(const BankSet& set, int bank);

}  // namespace tarvix
