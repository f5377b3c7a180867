#include "library/Duplicates.h"

#include <algorithm>
#include <map>

namespace tarvix {

bool IsDuplicateCandidate(const SoundData& sound) {
  // A slot never loaded holds zeros, not a dump; an empty slot is marked by
  // its category. Neither is a sound, and hundreds of them would bury the
  // real duplicates.
  return sound[0] == 0xF0 && !IsEmptySlot(sound);
}

std::vector<DuplicateGroup> FindDuplicates(const BankSet& blofeld, const BankSet& virtualBanks) {
  std::map<Fingerprint, std::vector<DuplicateRow>> byPrint;
  for (const BankSet* set : {&blofeld, &virtualBanks})
    for (int i = 0; i < kSlotCount; ++i) {
      const SoundData& s = set->Sound(i);
      if (IsDuplicateCandidate(s)) byPrint[FingerprintOf(s)].push_back({set->Kind(), i});
    }
  std::vector<DuplicateGroup> groups;
  for (auto& [print, rows] : byPrint)
    if (rows.size() > 1) groups.push_back({print, std::move(rows)});
  // Rows were collected set by set in slot order, so each group is already
  // in row order; the groups follow their first rows.
  std::sort(groups.begin(), groups.end(),
            [](const DuplicateGroup& a, const DuplicateGroup& b) { return a.rows.front() < b.rows.front(); });
  return groups;
}

std::vector<int> RowsIn(const DuplicateGroup& group, BankSetKind set) {
  std::vector<int> rows;
  for (const DuplicateRow& r : group.rows)
    if (r.set == set) rows.push_back(r.slot);
  return rows;
}

}  // namespace tarvix
