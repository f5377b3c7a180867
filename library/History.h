#pragma once
// Undo and redo for the two bank sets, and for one sound in the editor.
//
// A bank step keeps only what its command touched: for each slot that
// changed, the slot (sound and changed flag) as it was on the other side of
// the step, plus the selection and current row of the sets it touched. Undo
// and redo swap those with the set, so a step holds one copy of each slot,
// never a copy of the set.
//
// A command opens a step, names the slots it is about to change (or a whole
// set, which is then compared slot by slot when the step ends) and ends it.
// Steps nest: a step opened inside another joins the outer one, so a read
// that stores 1024 sounds is one step. A step that changed no slot is not
// kept.
//
// Changed flags after undo and redo: the history keeps, per Blofeld slot,
// the sound last read from or sent to the instrument (the window tells it).
// A Blofeld row put back by undo or redo is marked changed exactly when its
// sound differs from that; where nothing is known the flag comes back as it
// was. So after undoing a read the old sounds are marked and one "Send"
// puts them back on the instrument.
//
// Undo never talks to the instrument.

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "library/BankSet.h"

namespace tarvix {

// True when the two sounds hold the same parameters, name and category (the
// bytes an instrument keeps; device id, address and checksum are left out).
bool SameSoundContent(const SoundData& a, const SoundData& b);

class History {
 public:
  struct Limits {
    std::size_t maxSteps = 1000;
    std::size_t maxBytes = std::size_t{64} << 20;
  };
  // Which sets an undo or redo changed, so the window refreshes just those.
  enum SetMask : unsigned { kNone = 0, kBlofeldSet = 1, kVirtualSet = 2 };

  History(BankSet& blofeld, BankSet& virtualSet, Limits limits);
  History(BankSet& blofeld, BankSet& virtualSet) : History(blofeld, virtualSet, Limits{}) {}

  // Opens a step (or joins the open one; the outermost label wins).
  void Begin(std::string label);
  // The command is about to change this slot / any slot of this set.
  void Touch(BankSet& set, int slot);
  void TouchAll(BankSet& set);
  // Ends the step; at the outermost level a step that changed a slot is
  // kept (and anything that could be redone is dropped).
  void End();
  bool IsOpen() const { return depth_ > 0; }

  // Opens a step for the lifetime of the object; it ends even when the
  // command throws, so the part of the command that happened can be undone.
  class Step {
   public:
    Step(History& history, std::string label) : history_(history) { history_.Begin(std::move(label)); }
    ~Step() { history_.End(); }
    Step& Touch(BankSet& set, int slot) {
      history_.Touch(set, slot);
      return *this;
    }
    Step& TouchAll(BankSet& set) {
      history_.TouchAll(set);
      return *this;
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    History& history_;
  };

  bool CanUndo() const { return !IsOpen() && !undo_.empty(); }
  bool CanRedo() const { return !IsOpen() && !redo_.empty(); }
  std::string UndoLabel() const { return undo_.empty() ? std::string() : undo_.back().label; }
  std::string RedoLabel() const { return redo_.empty() ? std::string() : redo_.back().label; }
  // Each returns the sets it changed (kNone when there was nothing to do or
  // a step is open).
  unsigned Undo();
  unsigned Redo();

  // The instrument now holds this sound in this Blofeld slot (read from it
  // or sent to it), or holds something the program does not know.
  void InstrumentHolds(int slot, const SoundData& sound);
  void InstrumentUnknown(int slot);
  void InstrumentUnknownAll();

  // A change that cannot be taken back (discarding the sets at close): it
  // becomes the last step, and nothing before it can be undone any more.
  void Seal(std::string label);
  const std::string& SealedBy() const { return sealedBy_; }

  // Called whenever what can be undone or redone may have changed (a step
  // opened or kept, an undo, a redo), so menus can follow.
  std::function<void()> OnChanged;

  std::size_t UndoCount() const { return undo_.size(); }
  std::size_t RedoCount() const { return redo_.size(); }
  // Bytes held by all steps, and by the newest undo step.
  std::size_t Bytes() const { return bytes_; }
  std::size_t NewestStepBytes() const { return undo_.empty() ? 0 : undo_.back().bytes; }

 private:
  struct Entry {
    std::uint16_t where = 0;  // slot index, plus kVirtualBit for the Virtual set
    SoundSlot other;          // the slot on the other side of the step
  };
  static constexpr std::uint16_t kVirtualBit = 0x8000;
  using Selection = std::bitset<kSlotCount>;
  struct StepData {
    std::string label;
    std::vector<Entry> entries;
    unsigned sets = 0;  // SetMask of the sets the step touched
    int current[2] = {0, 0};
    std::vector<std::uint16_t> selection[2];  // selected runs: first, end, first, end ...
    std::size_t bytes = 0;
  };
  // The state of the open step, before the command changed anything.
  struct Pending {
    std::string label;
    unsigned sets = 0;
    bool whole[2] = {false, false};
    std::vector<SoundSlot> wholeBefore[2];  // kept between steps: no large allocation per step
    std::vector<Entry> declared;
    Selection selection[2];
    int current[2] = {0, 0};
  };

  BankSet& SetAt(int i) { return i == 0 ? blofeld_ : virtual_; }
  int IndexOf(const BankSet& set) const { return &set == &virtual_ ? 1 : 0; }
  void NoteSet(int i);
  unsigned Apply(StepData& step);
  void Trim();
  static std::size_t Account(const StepData& step);
  static std::vector<std::uint16_t> Runs(const Selection& selection);
  static Selection FromRuns(const std::vector<std::uint16_t>& runs);

  BankSet& blofeld_;
  BankSet& virtual_;
  Limits limits_;
  int depth_ = 0;
  Pending pending_;
  std::deque<StepData> undo_, redo_;
  std::size_t bytes_ = 0;
  std::string sealedBy_;
  std::vector<SoundData> known_;  // the instrument's sounds, per Blofeld slot
  std::vector<bool> knownValid_;
};

// The editor's history of one sound: each step keeps the bytes that
// differed, before and after.
class SoundHistory {
 public:
  explicit SoundHistory(std::size_t maxSteps = 1000) : maxSteps_(maxSteps) {}

  // Keeps a step when the two differ; returns whether it did.
  bool Record(std::string label, const SoundData& before, const SoundData& after);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::string UndoLabel() const { return undo_.empty() ? std::string() : undo_.back().label; }
  std::string RedoLabel() const { return redo_.empty() ? std::string() : redo_.back().label; }
  // Put the sound as it was before (after) the step; false when there is
  // none.
  bool Undo(SoundData& sound);
  bool Redo(SoundData& sound);
  std::size_t UndoCount() const { return undo_.size(); }

 private:
  struct Change {
    std::uint16_t offset;
    std::uint8_t before, after;
  };
  struct StepData {
    std::string label;
    std::vector<Change> changes;
  };
  std::size_t maxSteps_;
  std::deque<StepData> undo_, redo_;
};

}  // namespace tarvix
