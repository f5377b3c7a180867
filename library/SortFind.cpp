#include "library/SortFind.h"

#include <utility>

#include "library/BankOperations.h"

namespace tarvix {

std::string SortKey(const SoundData& s, SortKind kind) {
  std::string name = GetSoundName(s);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (kind == SortKind::ByName) return name;
  return CategoryKey(GetCategory(s)).value_or("99") + name;
}

namespace {

// Byte-wise unsigned comparison; a prefix is smaller than the longer key.
bool Greater(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return x > y;
  }
  return a.size() > b.size();
}

}  // namespace

int PartitionSelection(BankSet& set, int lo, int hi, SortKind kind) {
  int direction = 1;
  while (hi > lo) {
    const int a = set.SelectionList[static_cast<std::size_t>(lo)];
    const int b = set.SelectionList[static_cast<std::size_t>(hi)];
    if (Greater(SortKey(set.Sound(a), kind), SortKey(set.Sound(b), kind))) {
      std::swap(set.Sound(a), set.Sound(b));
      set.SetChanged(a);
      set.SetChanged(b);
      direction = -direction;
    }
    if (direction == 1)
      ++lo;
    else
      --hi;
  }
  return lo;
}

void SortSelection(BankSet& set, int lo, int hi, SortKind kind) {
  // Recurse into the smaller side and loop over the larger one, so the depth
  // stays logarithmic whatever the keys.
  while (hi > lo) {
    const int p = PartitionSelection(set, lo, hi, kind);
    if (p - lo < hi - p) {
      SortSelection(set, lo, p - 1, kind);
      lo = p + 1;
    } else {
      SortSelection(set, p + 1, hi, kind);
      hi = p - 1;
    }
  }
}

void SortBankSet(BankSet& set, BankSet& blofeld, SortKind kind, std::uint8_t deviceId, Prompter& prompter) {
  CollectSelection(set);
  if (set.SelectionList.size() < 2) {
    if (prompter.Ask(questions::kSortAll, Buttons::YesNo) == Answer::Yes) SelectAll(set);
    CollectSelection(set);
  }
  SortSelection(set, 0, static_cast<int>(set.SelectionList.size()) - 1, kind);
  RefreshChecksums(blofeld, deviceId);
  ReselectFromList(set);
}

bool Matches(const SoundData& s, const SearchState& search) {
  if (!search.text.empty() && GetSoundName(s).find(search.text) != std::string::npos) return true;
  return search.category != SearchState::kAnyCategory && search.category == GetCategory(s);
}

std::optional<int> FindNext(BankSet& set, const SearchState& search) {
  if (set.CurrentIndex < 0 || set.CurrentIndex >= kSlotCount) set.CurrentIndex = 0;
  const int start = (set.CurrentIndex + 1) % kSlotCount;
  for (int n = 0; n < kSlotCount; ++n) {
    const int i = (start + n) % kSlotCount;
    if (Matches(set.Sound(i), search)) {
      set.ClearSelection();
      set.Select(i);
      set.CurrentIndex = i;
      return i;
    }
  }
  return std::nullopt;
}

}  // namespace tarvix
