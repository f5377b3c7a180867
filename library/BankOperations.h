#pragma once
// Rearranging sounds within and between the two bank sets: moving the
// selection, exchanging and copying slots, the copy run, the sound clipboard
// and selecting. The lists read the slots directly, so none of this knows
// about rows on screen; the window refreshes and scrolls afterwards.

#include <functional>
#include <string>
#include <vector>

#include "library/BankSet.h"
#include "library/Prompter.h"

namespace tarvix {

// SelectionList := the selected rows, ascending.
void CollectSelection(BankSet& set);
// The row selection := SelectionList (after a move or a sort has shifted
// the collected rows). A refresh of the list never does this: the list shows
// the set's selection as it stands.
void ReselectFromList(BankSet& set);

// Move every block of selected rows one row up (or down); the sound next to
// each block moves to its other end, every slot touched gets its changed
// flag, and the selection moves with the sounds. The current row follows the
// sound it was on; when it was not among the moved rows it goes to the
// block's leading row, so it always names a sound that moved. When called by
// the user the selection is collected first; MoveSelectionTo keeps its own
// list. Returns false when nothing moved (no current row, nothing selected,
// or the block is already at the first or last row).
bool MoveSelectionUp(BankSet& set, bool calledByUser = true);
bool MoveSelectionDown(BankSet& set, bool calledByUser = true);

// Move the selected sounds step by step until the block reaches the target
// row: going up its first row lands on the target, going down its last row.
// betweenSteps runs after every step (the window lets pending events run).
void MoveSelectionTo(BankSet& set, int target, const std::function<void()>& betweenSteps = {});

enum class ExchangeMode {
  Swap = 0,             // within one set
  BlofeldToVirtual = 1,
  VirtualToBlofeld = 2,
};

// "Do you want to overwrite "<target>" with "<source>" ?" - the word is
// "with2" when a Virtual sound overwrites a Blofeld one.
std::string OverwriteQuestion(const std::string& targetName, const std::string& sourceName, ExchangeMode mode);

// Mode Swap exchanges slots a and b of `target` (source must be the same set)
// and flags both, also when a == b. The copy modes copy source slot a into
// target slot b and flag it, after asking the overwrite question when
// askOverwrite is set; No changes nothing. Returns whether anything changed.
bool ExchangeOrCopy(const BankSet& source, int a, BankSet& target, int b, ExchangeMode mode, bool askOverwrite,
                    Prompter& prompter);

// A sound from outside the sets (the sound library) into target slot b, by
// the copy rules above: the overwrite question when askOverwrite is set
// (worded as for a copy into that set), then copied and flagged.
bool CopySoundInto(const SoundData& sound, BankSet& target, int b, bool askOverwrite, Prompter& prompter);

// The copy dialog's run: every selected source row in ascending order goes to
// destination d, d+1, ... and stops at H128 instead of wrapping. Returns the
// number of sounds copied.
int CopyRun(const BankSet& source, BankSet& destination, int d);

// The sound clipboard: empty while its first byte is 0 (a dump starts F0).
struct SoundClipboard {
  SoundData sound{};
  bool Empty() const { return sound[0] == 0; }
};
void CopyToClipboard(const BankSet& set, int index, SoundClipboard& clipboard);
// Returns false (and changes nothing) when the clipboard is empty.
bool PasteFromClipboard(const SoundClipboard& clipboard, BankSet& set, int index);

// The slots a send would replace on the instrument: the selected rows,
// ascending, without the empty slots (which are never sent).
std::vector<int> SendableRows(const BankSet& set);
// Slots named compactly, runs joined: "A001–A004, B010". Past
// `maxRuns` runs the rest is counted: "A001, A003, A005 and 17 more".
std::string SlotRunsText(const std::vector<int>& ascendingSlots, int maxRuns = 8);
// "Send 16 sounds to the Blofeld, replacing A001–A016 there?"
std::string SendQuestion(const std::vector<int>& ascendingSlots);

void SelectAll(BankSet& set);
// Adds every changed row of the set to its selection; deselects nothing.
void SelectAllChanged(BankSet& set);

}  // namespace tarvix
