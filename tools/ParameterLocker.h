#pragma once
// The state behind the locker window. A working sound is rebuilt group by
// group from the Blofeld banks sound the user browses to, except for the
// groups the user locked; swaps and matrix rolls rearrange it in place. Two
// 500 ms timers send the changed bytes: one for browsing, one for swaps and
// rolls. The locker never writes into the bank sets.

#include <array>
#include <filesystem>
#include <string>

#include "library/BankSet.h"
#include "library/Prompter.h"
#include "library/RandomSource.h"
#include "tools/LockerTables.h"
#include "tools/ParameterSend.h"

namespace tarvix {

class ParameterLocker {
 public:
  // start is the instrument's edit-buffer sound, which the instrument holds
  // already, so opening sends nothing.
  ParameterLocker(const BankSet& blofeld, const SoundData& start, ParameterSendFn send);

  void SetLocked(int group, bool locked) { locked_.at(static_cast<std::size_t>(group)) = locked; }
  bool Locked(int group) const { return locked_.at(static_cast<std::size_t>(group)); }

  // Sound selector. Banks are 1..8 (A..H), programs 1..128; each call arms a
  // merge at the next Timer1 tick. A bank change keeps the program number.
  void SelectBank(int bank);
  void SelectProgram(int program);
  void NextSound();  // after H128 comes A1
  void PrevSound();  // before A1 comes H128
  void RandomSound(RandomSource& random);  // program first, then bank

  // Takes every unlocked group from the selected slot's sound.
  void MergeUnlockedGroups();

  // Each swap and roll snapshots the sound the instrument still holds and
  // arms Timer2. While an earlier change is unsent the older snapshot is
  // kept, so Timer2 sends the changes of every swap since its last tick.
  void Swap(SwapKind kind);
  void Roll(RollKind kind);

  // The 500 ms ticks; each returns the number of parameter messages sent, or
  // -1 when its flag was not set.
  int Timer1Timer();
  int Timer2Timer();

  // Captions of the 20 panel labels, in PanelLabels() order.
  std::string Caption(int label) const;

  // "Save Sound to file": stamps bank and program 0 and checksum 127 into
  // WorkSound itself (never sent: they are not parameters), then writes it.
  // Returns false when the user declined to replace an existing file.
  bool Save(const std::filesystem::path& file, Prompter& prompter);

  int FlatIndex() const { return (SelBank - 1) * kProgramsPerBank + (SelProgram - 1); }

  SoundData WorkSound{};
  SoundData UndoSound{};
  int SelBank = 1;
  int SelProgram = 1;
  bool SelectionPending = false;
  bool EditPending = false;

 private:
  void BeginEdit();

  const BankSet& blofeld_;
  ParameterSendFn send_;
  std::array<bool, kLockGroupCount> locked_{};
};

}  // namespace tarvix
