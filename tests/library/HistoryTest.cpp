#include "library/History.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "library/BankOperations.h"
#include "library/SortFind.h"
#include "tests/support/ScriptPrompter.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

// Everything undo restores, compared byte by byte.
struct SetState {
  std::vector<SoundSlot> slots;
  std::bitset<kSlotCount> selection;
  int current = 0;
  explicit SetState(const BankSet& set) : selection(set.Selection()), current(set.CurrentIndex) {
    slots.reserve(kSlotCount);
    for (int i = 0; i < kSlotCount; ++i) slots.push_back(set.Slot(i));
  }
  bool operator==(const SetState& o) const { return selection == o.selection && current == o.current && SameSlots(o); }
  bool SameSlots(const SetState& o) const {
    for (std::size_t i = 0; i < slots.size(); ++i)
      if (!(slots[i].sound == o.slots[i].sound) || slots[i].changed != o.slots[i].changed) return false;
    return true;
  }
};
using Both = std::pair<SetState, SetState>;
bool SameSlots(const Both& a, const Both& b) { return a.first.SameSlots(b.first) && a.second.SameSlots(b.second); }

struct Fixture {
  BankSet blofeld{BankSetKind::Blofeld}, virt{BankSetKind::Virtual};
  History history{blofeld, virt};
  test::ScriptPrompter prompter;
  SoundClipboard clipboard;
  std::mt19937 rng{7};

  Fixture() {
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = test::MakeSound("B" + std::to_string(rng() % 500), static_cast<std::uint8_t>(rng() % 13));
      virt.Sound(i) = test::MakeSound("V" + std::to_string(rng() % 500), static_cast<std::uint8_t>(rng() % 13));
    }
  }
  Both State() const { return {SetState(blofeld), SetState(virt)}; }
  // The user's own clicks come before a command and are no step; the state
  // an undo goes back to is the one the command started from.
  std::optional<Both> beforeStep;
  void UserDone() { beforeStep = State(); }
  int Row() { return static_cast<int>(rng() % kSlotCount); }
  void RandomSelection(BankSet& set) {
    set.ClearSelection();
    const int first = Row(), n = 1 + static_cast<int>(rng() % 6);
    for (int r = first; r < std::min(first + n, kSlotCount); ++r) set.Select(r);
    set.CurrentIndex = first;
  }

  // One of the library's commands, recorded as the window records it.
  void RandomCommand() {
    BankSet& set = rng() % 2 ? blofeld : virt;
    BankSet& other = &set == &blofeld ? virt : blofeld;
    switch (rng() % 7) {
      case 0: {  // move the selection (selection and current row move too)
        RandomSelection(set);
        UserDone();
        History::Step step(history, "Move");
        step.TouchAll(set);
        rng() % 2 ? MoveSelectionUp(set) : MoveSelectionDown(set);
        break;
      }
      case 1: {  // drop within a set: two slots
        const int a = Row(), b = Row();
        UserDone();
        History::Step step(history, "Exchange");
        step.Touch(set, a).Touch(set, b);
        ExchangeOrCopy(set, a, set, b, ExchangeMode::Swap, false, prompter);
        break;
      }
      case 2: {  // drop into the other set
        const int a = Row(), b = Row();
        UserDone();
        History::Step step(history, "Copy");
        step.Touch(other, b);
        ExchangeOrCopy(set, a, other, b,
                       other.IsBlofeld() ? ExchangeMode::VirtualToBlofeld : ExchangeMode::BlofeldToVirtual, false,
                       prompter);
        break;
      }
      case 3: {  // paste
        CopyToClipboard(other, Row(), clipboard);
        const int row = Row();
        UserDone();
        History::Step step(history, "Paste");
        step.Touch(set, row);
        PasteFromClipboard(clipboard, set, row);
        break;
      }
      case 4: {  // rename
        const int row = Row();
        UserDone();
        History::Step step(history, "Rename");
        step.Touch(set, row);
        SetSoundName(set, row, "Renamed " + std::to_string(rng() % 100));
        set.SetChanged(row);
        break;
      }
      case 5: {  // sort a selection (checksums of the Blofeld banks are refreshed)
        RandomSelection(set);
        UserDone();
        History::Step step(history, "Sort");
        step.TouchAll(set).TouchAll(blofeld);
        SortBankSet(set, blofeld, SortKind::ByName, 0x10, prompter);
        break;
      }
      default: {  // copy run
        RandomSelection(set);
        UserDone();
        History::Step step(history, "Copy run");
        step.TouchAll(other);
        CopyRun(set, other, Row());
        break;
      }
    }
  }
};

TEST(History, UndoingNStepsGivesTheStateNStepsBeforeAndRedoBringsItBack) {
  for (int round = 0; round < 6; ++round) {
    Fixture f;
    f.rng.seed(static_cast<unsigned>(round));
    std::vector<Both> before, after;  // per step
    // Only commands that changed something are steps.
    while (f.history.UndoCount() < 25) {
      const std::size_t count = f.history.UndoCount();
      f.RandomCommand();
      if (f.history.UndoCount() > count) {
        before.push_back(*f.beforeStep);
        after.push_back(f.State());
      } else {
        ASSERT_TRUE(*f.beforeStep == f.State()) << "a command changed the sets without a step";
      }
    }
    const int n = 1 + round * 4;
    for (int k = 1; k <= n; ++k) {
      ASSERT_NE(f.history.Undo(), History::kNone);
      ASSERT_TRUE(before[before.size() - static_cast<std::size_t>(k)] == f.State()) << "round " << round << " undo " << k;
    }
    // Redo brings every sound and flag forward; the selection is the one
    // the user had when undoing.
    for (int k = n; k >= 1; --k) {
      ASSERT_NE(f.history.Redo(), History::kNone);
      ASSERT_TRUE(SameSlots(after[after.size() - static_cast<std::size_t>(k)], f.State())) << "round " << round;
    }
    EXPECT_TRUE(after.back() == f.State());
    EXPECT_FALSE(f.history.CanRedo());
    // A new command after undoing drops what could have been redone.
    f.history.Undo();
    f.RandomCommand();
    while (!f.history.CanUndo()) f.RandomCommand();
    EXPECT_FALSE(f.history.CanRedo());
  }
}

TEST(History, StepsKeepOnlyWhatTheyTouchedAndNestedStepsAreOne) {
  Fixture f;
  {
    History::Step step(f.history, "Paste");
    step.Touch(f.virt, 5);
    f.virt.SetChanged(5);
  }
  EXPECT_EQ(f.history.UndoLabel(), "Paste");
  EXPECT_LT(f.history.NewestStepBytes(), 600u);  // one slot, not a copy of a set

  // A whole-set step keeps the slots that changed, not the set.
  {
    History::Step step(f.history, "Read All");
    step.TouchAll(f.blofeld);
    for (int slot : {3, 700}) {
      History::Step inner(f.history, "Store");  // joins the read
      inner.Touch(f.blofeld, slot);
      f.blofeld.Sound(slot) = test::MakeSound("Read");
    }
  }
  EXPECT_EQ(f.history.UndoCount(), 2u);
  EXPECT_EQ(f.history.UndoLabel(), "Read All");
  EXPECT_LT(f.history.NewestStepBytes(), 1200u);

  // A step that changed nothing is not kept; neither is one left by an exception.
  { History::Step step(f.history, "Nothing"); step.TouchAll(f.virt); }
  EXPECT_EQ(f.history.UndoLabel(), "Read All");
  EXPECT_THROW(f.history.Touch(f.virt, 1), std::logic_error);
  try {
    History::Step step(f.history, "Half done");
    step.Touch(f.virt, 9);
    f.virt.Sound(9) = test::MakeSound("Half");
    throw std::runtime_error("disk full");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(f.history.UndoLabel(), "Half done");  // what happened can be taken back
  f.history.Undo();
  EXPECT_EQ(GetSoundName(f.virt, 9).substr(0, 1), "V");
}

TEST(History, OldestStepsGoFirstAtEitherLimit) {
  struct Case { History::Limits limits; std::size_t kept; };
  for (const Case c : {Case{{10, std::size_t{64} << 20}, 10}, Case{{1000, 5000}, 10}, Case{{1000, 100}, 1}}) {
    BankSet b, v{BankSetKind::Virtual};
    History h(b, v, c.limits);
    for (int i = 0; i < 30; ++i) {
      History::Step step(h, "Rename " + std::to_string(i));
      step.Touch(v, i);
      SetSoundName(v, i, "x");
    }
    EXPECT_LE(h.UndoCount(), c.kept);
    EXPECT_GE(h.UndoCount(), 1u);
    EXPECT_EQ(h.UndoLabel(), "Rename 29");
    EXPECT_LE(h.Bytes(), std::max<std::size_t>(c.limits.maxBytes, h.NewestStepBytes()));
  }
}

TEST(History, BlofeldRowsAreMarkedChangedWhereTheyDifferFromTheInstrument) {
  Fixture f;
  const SoundData old = f.blofeld.Sound(10), readSound = test::MakeSound("From Blofeld");
  f.blofeld.SetChanged(10, false);
  f.blofeld.SetChanged(11, true);
  {  // a read stores what the instrument holds and clears the flag
    History::Step step(f.history, "Read");
    step.Touch(f.blofeld, 10);
    f.blofeld.Sound(10) = readSound;
    f.blofeld.SetChanged(10, false);
  }
  f.history.InstrumentHolds(10, readSound);
  f.history.Undo();
  EXPECT_EQ(f.blofeld.Sound(10), old);
  EXPECT_TRUE(f.blofeld.Changed(10)) << "the old sound is not on the instrument: a Send must put it back";
  f.history.Redo();
  EXPECT_FALSE(f.blofeld.Changed(10));

  // An edit sent afterwards: undoing the edit marks the row; redoing it does not.
  {
    History::Step step(f.history, "Rename");
    step.Touch(f.blofeld, 10);
    SetSoundName(f.blofeld, 10, "Edited");
    f.blofeld.SetChanged(10);
  }
  f.blofeld.SetChanged(10, false);  // sent
  f.history.InstrumentHolds(10, f.blofeld.Sound(10));
  f.history.Undo();
  EXPECT_TRUE(f.blofeld.Changed(10));
  f.history.Redo();
  EXPECT_FALSE(f.blofeld.Changed(10));

  // Where nothing is known the flag comes back as it was; Virtual rows too.
  f.history.InstrumentUnknownAll();
  {
    History::Step step(f.history, "Paste");
    step.Touch(f.blofeld, 11).Touch(f.virt, 11);
    f.blofeld.Sound(11) = readSound;
    f.blofeld.SetChanged(11, false);
    f.virt.SetChanged(11, true);
  }
  f.history.InstrumentHolds(11 + 1, readSound);  // another slot
  f.history.Undo();
  EXPECT_TRUE(f.blofeld.Changed(11));
  EXPECT_FALSE(f.virt.Changed(11));
}

TEST(History, ASealEndsTheHistory) {
  Fixture f;
  {
    History::Step step(f.history, "Rename");
    step.Touch(f.virt, 1);
    SetSoundName(f.virt, 1, "x");
  }
  f.history.Seal("Discard");
  EXPECT_FALSE(f.history.CanUndo());
  EXPECT_EQ(f.history.SealedBy(), "Discard");
  EXPECT_EQ(f.history.Undo(), History::kNone);
  EXPECT_EQ(f.history.Bytes(), 0u);
}

TEST(SoundHistory, UndoAndRedoWalkTheEditsExactly) {
  std::mt19937 rng(3);
  SoundData sound = test::MakeSound("Edit me");
  SoundHistory h(20);
  std::vector<SoundData> states{sound};
  EXPECT_FALSE(h.Record("None", sound, sound));
  for (int i = 0; i < 30; ++i) {
    const SoundData before = sound;
    for (int k = 0; k < 1 + static_cast<int>(rng() % 40); ++k) sound[7 + rng() % 383] = static_cast<std::uint8_t>(rng() % 128);
    if (h.Record("Knob", before, sound)) states.push_back(sound);
  }
  EXPECT_EQ(h.UndoCount(), 20u);
  for (int k = 1; k <= 20; ++k) {
    ASSERT_TRUE(h.Undo(sound));
    EXPECT_EQ(sound, states[states.size() - 1 - static_cast<std::size_t>(k)]);
  }
  EXPECT_FALSE(h.Undo(sound));
  for (int k = 19; k >= 0; --k) {
    ASSERT_TRUE(h.Redo(sound));
    EXPECT_EQ(sound, states[states.size() - 1 - static_cast<std::size_t>(k)]);
  }
  EXPECT_FALSE(h.Redo(sound));
}

}  // namespace
}  // namespace tarvix
