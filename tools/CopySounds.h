#pragma once
// Filling a run of Blofeld banks slots with copies of one sound, and the
// rule of the dialog's count box.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "library/BankSet.h"

namespace tarvix {

inline constexpr int kMaxCopyCount = 128;

// Raised when a run would go past H128; the slots up to H128 are filled.
class CopyRunPastEnd : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Copies slot `source` whole into slots firstDestination .. +count-1 in
// order, flags each one changed and calls `slotWritten` with its index (the
// window redraws the row). count < 1 copies nothing. A run reaching past
// H128 fills up to H128, then throws CopyRunPastEnd. Returns the number of
// slots written.
int CopySoundsRun(BankSet& blofeld, int source, int firstDestination, int count,
                  const std::function<void(int)>& slotWritten = {});

// The count box after an edit: a number above 128 becomes "128", a text that
// is not a number (an empty one too) becomes "1", anything else stays.
std::string NormalizeCount(std::string_view text);
// The count the box stands for, 0..128.
int CountOf(std::string_view text);

}  // namespace tarvix
