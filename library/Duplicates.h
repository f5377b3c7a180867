#pragma once
// Finding the rows of both bank sets that hold the same sound: the same
// parameter bytes, whatever their names, categories or slots (the sound's
// fingerprint). Empty slots, and slots that hold no sound dump at all, are
// left out: they are not sounds a musician would want to tidy up.

#include <vector>

#include "library/BankSet.h"
#include "library/Fingerprint.h"

namespace tarvix {

struct DuplicateRow {
  BankSetKind set = BankSetKind::Blofeld;
  int slot = 0;
  auto operator<=>(const DuplicateRow&) const = default;
};

// Two or more rows with one fingerprint, Blofeld rows before Virtual rows,
// each set's rows in slot order.
struct DuplicateGroup {
  Fingerprint fingerprint;
  std::vector<DuplicateRow> rows;
};

// Whether a slot takes part in the search (not empty, a sound dump).
bool IsDuplicateCandidate(const SoundData& sound);

// Every group of rows sharing a fingerprint across both sets, ordered by
// their first row (so the list reads from A001 of the Blofeld banks down).
std::vector<DuplicateGroup> FindDuplicates(const BankSet& blofeld, const BankSet& virtualBanks);

// The rows of a group that lie in the given set, in slot order.
std::vector<int> RowsIn(const DuplicateGroup& group, BankSetKind set);

}  // namespace tarvix
