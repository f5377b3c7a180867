#pragma once
// The locator's texts and answer: where the sounds of a file go when loaded.

#include <string>

#include "library/SoundFile.h"  // kOwnPositions

namespace tarvix {

inline constexpr const char* kLocatorWarning = "After Bank H Program 128 will load Bank A Program 1";

struct LocatorLabels {
  std::string copyTo;  // caption of lblCopyTo
  bool pastEnd;        // the run wraps past H128: the warning turns red
};

// "Copy from Bank: BProgram: 3 to Bank: B Program: 7" for a run of `count`
// sounds from flat index `start`; a run past H128 shows A1 as its end.
LocatorLabels LocatorLabelsFor(int start, int count);

// The start index the dialog answers when closed, however it is closed.
int LocatorAnswer(int bank, int program, int currentPosition, bool fromCurrent, bool toOriginal);

// "The file contain N sounds."
std::string TotalSoundsCaption(int count);

}  // namespace tarvix
