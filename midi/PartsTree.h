#pragma once
// The parts tree beside the lists: one entry per part of the instrument (16 in
// multi mode, else 1), each naming the sound the part plays, and the rule
// that the selected entry is the MIDI channel for notes and program changes.

#include <string>
#include <vector>

#include "library/BankSet.h"
#include "midi/GlobalData.h"

namespace tarvix {

// "Part 01  -  A001 Name": part number, the part's bank letter and program
// (from the global data) and that slot's name in the Blofeld banks.
std::vector<std::string> PartsTreeEntries(const GlobalData& global, const BankSet& blofeld);
// The channel for the selected entry: its index, 0 when nothing valid is
// selected.
int KeyboardChannel(int selectedEntry, int entryCount);

}  // namespace tarvix
