#include "tools/Locator.h"

#include "library/SoundData.h"

namespace tarvix {

LocatorLabels LocatorLabelsFor(int start, int count) {
  int last = start + count - 1;
  const bool pastEnd = last > kSlotCount - 1;
  if (pastEnd) last = 0;
  std::string text = "Copy from Bank: ";
  // No blank between the first bank letter and "Program: ": the label has
  // always read that way.
  text += BankLetter(start / kProgramsPerBank);
  text += "Program: " + std::to_string(start % kProgramsPerBank + 1);
  text += " to Bank: ";
  text += BankLetter(last / kProgramsPerBank);
  text += " Program: " + std::to_string(last % kProgramsPerBank + 1);
  return {text, pastEnd};
}

int LocatorAnswer(int bank, int program, int currentPosition, bool fromCurrent, bool toOriginal) {
  if (toOriginal) return kOwnPositions;
  if (fromCurrent) return currentPosition;
  return bank * kProgramsPerBank + program;
}

std::string TotalSoundsCaption(int count) { return "The file contain " + std::to_string(count) + " sounds."; }

}  // namespace tarvix
