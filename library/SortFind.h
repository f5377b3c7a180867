#pragma once
// Ordering the selected sounds of a set by name or by category and name, and
// finding the next sound by a piece of its name or by its category.

#include <cstdint>
#include <optional>
#include <string>

#include "library/BankSet.h"
#include "library/Prompter.h"

namespace tarvix {

enum class SortKind { ByName = 1, ByCategoryAndName = 2 };

// The key a slot is ordered by: its untrimmed name with a..z upper-cased,
// preceded for a category sort by the two-digit category ("99" for a
// category the instrument does not name, so such sounds go last).
std::string SortKey(const SoundData& s, SortKind kind);

// Quicksort over positions lo..hi of the set's SelectionList. The sounds move
// between the selected slots (each exchange flags both slots); the list does
// not. The order of exchanges is fixed, and with it where equal keys end.
int PartitionSelection(BankSet& set, int lo, int hi, SortKind kind);
void SortSelection(BankSet& set, int lo, int hi, SortKind kind);

// The sort command: collect the selection; with fewer than two selected rows
// ask "Sort all?" (Yes selects every row); sort; refresh the checksums of the
// Blofeld banks (whichever set was sorted); reselect the sorted rows.
void SortBankSet(BankSet& set, BankSet& blofeld, SortKind kind, std::uint8_t deviceId, Prompter& prompter);

// What a find looks for; one search serves both sets. Before the first find
// it looks for category 0 ("Init") with no text.
struct SearchState {
  std::string text;               // up to 16 characters, case-sensitive, not trimmed
  std::uint8_t category = 0;      // 0..12, or kAnyCategory
  static constexpr std::uint8_t kAnyCategory = 0xFF;
};

bool Matches(const SoundData& s, const SearchState& search);

// Examines the slots after the current row, wrapping, the current row last.
// On a match the slot becomes the current and only selected row and its index
// is returned; without one nothing changes.
std::optional<int> FindNext(BankSet& set, const SearchState& search);

}  // namespace tarvix
