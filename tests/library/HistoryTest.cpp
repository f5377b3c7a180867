#include "library/History.h"

#include <gtest/gtest.h>

#include <random>

#include "library/BankOperations.h"
#include "library/SortFind.h"
#include "tests/support/ScriptPrompter.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

// Everything undo puts back: every slot of both sets, selections, current rows.
using State = std::vector<std::uint8_t>;
State Snapshot(const BankSet& a, const BankSet& b, bool withSelection = true) {
  State s;
  for (const BankSet* set : {&a, &b}) {
    for (int i = 0; i < kSlotCount; ++i) {
      s.insert(s.end(), set->Sound(i).bytes.begin(), set->Sound(i).bytes.end());
      s.push_back(set->Changed(i) ? 1 : 0);
      if (withSelection) s.push_back(set->IsSelected(i) ? 1 : 0);
    }
    if (withSelection) s.push_back(static_cast<std::uint8_t>(set->CurrentIndex & 0xFF));
  }
  return s;
}

struct Fixture {
  BankSet blofeld{BankSetKind::Blofeld}, virt{BankSetKind::Virtual};
  History history{blofeld, virt};
  test::ScriptPrompter prompter;
  std::mt19937 rng;
  explicit Fixture(unsigned seed = 7) : rng(seed) {
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = test::MakeSound("B" + std::to_string(rng() % 500), static_cast<std::uint8_t>(rng() % 13));
      virt.Sound(i) = test::MakeSound("V" + std::to_string(rng() % 500), static_cast<std::uint8_t>(rng() % 13));
    }
  }
  int Row() { return static_cast<int>(rng() % kSlotCount); }
  State Now() const { return Snapshot(blofeld, virt); }

  // Selects rows (no step), runs one command recorded as the window records it; returns the state before.
  State RandomCommand() {
    BankSet& set = rng() % 2 ? blofeld : virt;
    BankSet& other = &set == &blofeld ? virt : blofeld;
    set.ClearSelection();
    const int first = Row();
    for (int r = first; r < std::min(first + 1 + static_cast<int>(rng() % 5), kSlotCount); ++r) set.Select(r);
    set.CurrentIndex = first;
    const State before = Now();
    const int a = Row(), b = Row(), kind = static_cast<int>(rng() % 5);
    History::Step step(history, "Command");
    switch (kind) {
      case 0: step.TouchAll(set), rng() % 2 ? MoveSelectionUp(set) : MoveSelectionDown(set); break;
      case 1:
        step.Touch(set, a).Touch(set, b), ExchangeOrCopy(set, a, set, b, ExchangeMode::Swap, false, prompter);
        break;
      case 2: step.Touch(other, b), other.Sound(b) = set.Sound(a), other.SetChanged(b); break;
      case 3: step.TouchAll(set).TouchAll(blofeld), SortBankSet(set, blofeld, SortKind::ByName, 0x10, prompter); break;
      default: step.TouchAll(other), CopyRun(set, other, b); break;
    }
    return before;
  }
};

TEST(History, UndoingNStepsGivesTheStateNStepsBeforeAndRedoBringsItBack) {
  for (unsigned round = 0; round < 4; ++round) {
    Fixture f(round);
    std::vector<State> before, afterSlots;
    while (f.history.UndoCount() < 20) {
      const std::size_t count = f.history.UndoCount();
      State start = f.RandomCommand();
      if (f.history.UndoCount() == count) continue;  // changed nothing: no step
      before.push_back(std::move(start));
      afterSlots.push_back(Snapshot(f.blofeld, f.virt, false));
    }
    const State last = f.Now();
    const std::size_t n = 1 + round * 6;
    for (std::size_t k = 1; k <= n; ++k) {
      ASSERT_NE(f.history.Undo(), History::kNone);
      ASSERT_TRUE(before[before.size() - k] == f.Now()) << "round " << round << " undo " << k;
    }
    // Redo brings every sound and flag forward (the selection stays the user's); all the way, the same state.
    for (std::size_t k = n; k >= 1; --k) {
      ASSERT_NE(f.history.Redo(), History::kNone);
      ASSERT_TRUE(afterSlots[afterSlots.size() - k] == Snapshot(f.blofeld, f.virt, false)) << k;
    }
    EXPECT_TRUE(last == f.Now());
    EXPECT_FALSE(f.history.CanRedo());
  }
}

TEST(History, StepsKeepOnlyWhatChangedNestAndSurviveAnException) {
  Fixture f;
  { History::Step step(f.history, "Paste"); step.Touch(f.virt, 5), f.virt.SetChanged(5); }
  EXPECT_LT(f.history.NewestStepBytes(), 600u);  // one slot, not a copy of a set
  {
    History::Step read(f.history, "Read All");
    read.TouchAll(f.blofeld);
    for (int slot : {3, 700}) {
      History::Step store(f.history, "Store");  // joins the read
      store.Touch(f.blofeld, slot), f.blofeld.Sound(slot) = test::MakeSound("Read");
    }
  }
  EXPECT_EQ(f.history.UndoCount(), 2u);
  EXPECT_LT(f.history.NewestStepBytes(), 1000u);
  { History::Step step(f.history, "Nothing"); step.TouchAll(f.virt); }
  EXPECT_EQ(f.history.UndoLabel(), "Read All");
  EXPECT_THROW(f.history.Touch(f.virt, 1), std::logic_error);
  try {
    History::Step step(f.history, "Half done");
    step.Touch(f.virt, 9), f.virt.Sound(9) = test::MakeSound("Half");
    throw std::runtime_error("disk full");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(f.history.UndoLabel(), "Half done");
  f.history.Undo();
  EXPECT_EQ(GetSoundName(f.virt, 9).substr(0, 1), "V");
  f.history.Seal("Discard");
  EXPECT_FALSE(f.history.CanUndo());
}

TEST(History, OldestStepsGoFirstAtEitherLimit) {
  struct Case { History::Limits limits; std::size_t most; };
  for (const Case c : {Case{{10, std::size_t{64} << 20}, 10}, Case{{1000, 5000}, 10}, Case{{1000, 100}, 1}}) {
    BankSet b, v{BankSetKind::Virtual};
    History h(b, v, c.limits);
    for (int i = 0; i < 30; ++i) {
      History::Step step(h, "Rename " + std::to_string(i));
      step.Touch(v, i), SetSoundName(v, i, "x");
    }
    EXPECT_TRUE(h.UndoCount() >= 1 && h.UndoCount() <= c.most) << h.UndoCount();
    EXPECT_EQ(h.UndoLabel(), "Rename 29");  // the newest always stays
  }
}

TEST(History, BlofeldRowsAreMarkedChangedWhereTheyDifferFromTheInstrument) {
  Fixture f;
  const SoundData read = test::MakeSound("From Blofeld");
  {  // a read stores what the instrument holds and clears the flag
    History::Step step(f.history, "Read");
    step.Touch(f.blofeld, 10), f.blofeld.Sound(10) = read;
  }
  f.history.InstrumentHolds(10, read);
  f.history.Undo();
  EXPECT_TRUE(f.blofeld.Changed(10)) << "the old sound is not on the instrument: a Send must put it back";
  f.history.Redo();
  EXPECT_FALSE(f.blofeld.Changed(10));
}

}  // namespace
}  // namespace tarvix
