#include "library/SortFind.h"

#include <utility>
#include <vector>

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

namespace {

// The keys of the selected slots, by position in the SelectionList. A key is
// moved with its sound on every exchange, so it always describes the slot's
// current contents without being rebuilt for every comparison.
struct Sorter {
  BankSet& set;
  std::vector<std::string> keys;

  Sorter(BankSet& s, SortKind kind) : set(s) {
    keys.reserve(s.SelectionList.size());
    for (int i : s.SelectionList) keys.push_back(SortKey(s.Sound(i), kind));
  }

  int Partition(int lo, int hi) {
    int direction = 1;
    while (hi > lo) {
      const auto l = static_cast<std::size_t>(lo), h = static_cast<std::size_t>(hi);
      if (Greater(keys[l], keys[h])) {
        const int a = set.SelectionList[l], b = set.SelectionList[h];
        std::swap(set.Sound(a), set.Sound(b));
        std::swap(keys[l], keys[h]);
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

  void Sort(int lo, int hi) {
    // Recurse into the smaller side and loop over the larger one, so the
    // depth stays logarithmic whatever the keys. The two sides touch
    // different slots, so the order they are sorted in changes nothing.
    while (hi > lo) {
      const int p = Partition(lo, hi);
      if (p - lo < hi - p) {
        Sort(lo, p - 1);
        lo = p + 1;
      } else {
        Sort(p + 1, hi);
        hi = p - 1;
      }
    }
  }
};

}  // namespace

int PartitionSelection(BankSet& set, int lo, int hi, SortKind kind) { return Sorter(set, kind).Partition(lo, hi); }

void SortSelection(BankSet& set, int lo, int hi, SortKind kind) { Sorter(set, kind).Sort(lo, hi); }

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
