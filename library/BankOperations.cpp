#include "library/BankOperations.h"

#include <cstdlib>
#include <utility>

namespace tarvix {

void CollectSelection(BankSet& set) {
  set.SelectionList.clear();
  for (int i = 0; i < kSlotCount; ++i)
    if (set.IsSelected(i)) set.SelectionList.push_back(i);
}

void ReselectFromList(BankSet& set) {
  set.ClearSelection();
  for (int i : set.SelectionList)
    if (i >= 0 && i < kSlotCount) set.Select(i);
}

namespace {

// One step of the move. dir = -1 moves up, +1 down. Rows are walked from the
// slot beyond the block's leading edge towards the trailing edge; a sound
// displaced at the start of each block is held and dropped just behind it.
bool MoveStep(BankSet& set, int dir, bool calledByUser) {
  const int edge = dir < 0 ? 0 : kSlotCount - 1;
  if (set.CurrentIndex < 0 || set.IsSelected(edge)) return false;
  if (calledByUser) CollectSelection(set);
  if (set.SelectionList.empty()) return false;
  const bool currentMoves = set.IsSelected(set.CurrentIndex);

  // Rows to walk, from first to last in walking order.
  int from, to;
  if (dir < 0) {
    from = std::max(set.SelectionList.front() - 1, 0);
    to = std::min(set.SelectionList.back() + 1, kSlotCount - 1);
  } else {
    from = std::min(set.SelectionList.back() + 1, kSlotCount - 1);
    to = std::max(set.SelectionList.front() - 1, 0);
  }
  const int walk = -dir;  // up: ascending rows; down: descending rows
  SoundData held{};
  bool holding = false;
  for (int i = from;; i += walk) {
    const int ahead = i + dir;  // the row the sound at i moves into
    if (set.IsSelected(i)) {
      if (ahead >= 0 && ahead < kSlotCount) {
        if (!set.IsSelected(ahead)) {
          held = set.Sound(ahead);
          holding = true;
        }
        set.Sound(ahead) = set.Sound(i);
        set.SetChanged(i);
        set.SetChanged(ahead);
      }
      // The block reaches the far end of the set: the held sound drops into
      // the last row walked.
      if (i == kSlotCount - 1 - edge && holding) {
        set.Sound(i) = held;
        holding = false;
      }
    } else if (holding) {
      set.Sound(ahead) = held;
      holding = false;
      set.SetChanged(i);
      set.SetChanged(ahead);
    }
    if (i == to) break;
  }
  for (int& row : set.SelectionList) row += dir;
  ReselectFromList(set);
  // The current row stays on the sound the user moved, never on the row the
  // block left behind (which now holds a different sound).
  if (currentMoves)
    set.CurrentIndex += dir;
  else
    set.CurrentIndex = dir < 0 ? set.SelectionList.front() : set.SelectionList.back();
  return true;
}

}  // namespace

bool MoveSelectionUp(BankSet& set, bool calledByUser) { return MoveStep(set, -1, calledByUser); }
bool MoveSelectionDown(BankSet& set, bool calledByUser) { return MoveStep(set, +1, calledByUser); }

void MoveSelectionTo(BankSet& set, int target, const std::function<void()>& betweenSteps) {
  if (target < 0 || target >= kSlotCount) return;
  CollectSelection(set);
  if (set.SelectionList.empty()) return;
  const int first = set.SelectionList.front(), last = set.SelectionList.back();
  const int d = target >= first ? target - last : target - first;
  for (int step = 0; step < std::abs(d); ++step) {
    const int firstNow = set.SelectionList.front();
    bool moved = false;
    if (target < firstNow)
      moved = MoveSelectionUp(set, false);
    else if (target > firstNow)
      moved = MoveSelectionDown(set, false);
    if (betweenSteps) betweenSteps();
    if (!moved) break;
  }
  ReselectFromList(set);
}

std::string OverwriteQuestion(const std::string& targetName, const std::string& sourceName, ExchangeMode mode) {
  const char* with = mode == ExchangeMode::VirtualToBlofeld ? "with2" : "with";
  return "Do you want to overwrite \"" + targetName + "\" " + with + " \"" + sourceName + "\" ?";
}

namespace {

bool CopyInto(const SoundData& sound, BankSet& target, int b, ExchangeMode mode, bool askOverwrite,
              Prompter& prompter) {
  if (askOverwrite) {
    const std::string text = OverwriteQuestion(TrimmedSoundName(target.Sound(b)), TrimmedSoundName(sound), mode);
    if (prompter.Ask(text, Buttons::YesNo) != Answer::Yes) return false;
  }
  target.Sound(b) = sound;
  target.SetChanged(b);
  return true;
}

}  // namespace

bool ExchangeOrCopy(const BankSet& source, int a, BankSet& target, int b, ExchangeMode mode, bool askOverwrite,
                    Prompter& prompter) {
  if (mode == ExchangeMode::Swap) {
    std::swap(target.Sound(a), target.Sound(b));
    target.SetChanged(a);
    target.SetChanged(b);
    return true;
  }
  return CopyInto(source.Sound(a), target, b, mode, askOverwrite, prompter);
}

bool CopySoundInto(const SoundData& sound, BankSet& target, int b, bool askOverwrite, Prompter& prompter) {
  if (b < 0 || b >= kSlotCount) return false;
  const ExchangeMode mode = target.IsBlofeld() ? ExchangeMode::VirtualToBlofeld : ExchangeMode::BlofeldToVirtual;
  return CopyInto(sound, target, b, mode, askOverwrite, prompter);
}

int CopyRun(const BankSet& source, BankSet& destination, int d) {
  int copied = 0;
  for (int i = 0; i < kSlotCount && d < kSlotCount; ++i) {
    if (!source.IsSelected(i)) continue;
    if (d < 0) return copied;
    destination.Sound(d) = source.Sound(i);
    destination.SetChanged(d);
    ++d;
    ++copied;
  }
  return copied;
}

void CopyToClipboard(const BankSet& set, int index, SoundClipboard& clipboard) { clipboard.sound = set.Sound(index); }

bool PasteFromClipboard(const SoundClipboard& clipboard, BankSet& set, int index) {
  if (clipboard.Empty()) return false;
  set.Sound(index) = clipboard.sound;
  set.SetChanged(index);
  return true;
}

std::vector<int> SendableRows(const BankSet& set) {
  std::vector<int> rows;
  for (int i = 0; i < kSlotCount; ++i)
    if (set.IsSelected(i) && !IsEmptySlot(set.Sound(i))) rows.push_back(i);
  return rows;
}

std::string SlotRunsText(const std::vector<int>& ascendingSlots, int maxRuns) {
  std::string text;
  int runs = 0;
  std::size_t k = 0;
  while (k < ascendingSlots.size()) {
    std::size_t end = k;
    while (end + 1 < ascendingSlots.size() && ascendingSlots[end + 1] == ascendingSlots[end] + 1) ++end;
    if (runs == maxRuns) {
      text += " and " + std::to_string(ascendingSlots.size() - k) + " more";
      break;
    }
    if (runs > 0) text += ", ";
    text += SlotLabel(ascendingSlots[k]);
    if (end > k) text += "\u2013" + SlotLabel(ascendingSlots[end]);
    ++runs;
    k = end + 1;
  }
  return text;
}

std::string SendQuestion(const std::vector<int>& ascendingSlots) {
  const std::size_t n = ascendingSlots.size();
  return "Send " + std::to_string(n) + (n == 1 ? " sound" : " sounds") + " to the Blofeld, replacing " +
         SlotRunsText(ascendingSlots) + " there?";
}

void SelectAll(BankSet& set) {
  for (int i = 0; i < kSlotCount; ++i) set.Select(i);
}

void SelectAllChanged(BankSet& set) {
  for (int i = 0; i < kSlotCount; ++i)
    if (set.Changed(i)) set.Select(i);
}

}  // namespace tarvix
