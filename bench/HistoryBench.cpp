// The undo history: recording steps and taking them back.
//   ./build/bench_library --benchmark_filter=History
#include <benchmark/benchmark.h>

#include <random>

#include "library/History.h"
#include "library/SortFind.h"
#include "tests/support/ScriptPrompter.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

struct Sets {
  BankSet blofeld{BankSetKind::Blofeld}, virt{BankSetKind::Virtual};
  History history{blofeld, virt};
  Sets() {
    std::mt19937 rng(5);
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = test::MakeSound("b" + std::to_string(rng() % 9000), static_cast<std::uint8_t>(rng() % 13));
      virt.Sound(i) = test::MakeSound("v" + std::to_string(rng() % 9000), static_cast<std::uint8_t>(rng() % 13));
    }
  }
};

// A paste or rename: one slot. The history is kept full (1000 steps), so
// dropping the oldest step is part of the cost.
void BM_HistoryRecordOneSlotStep(benchmark::State& state) {
  Sets s;
  int row = 0;
  for (auto _ : state) {
    History::Step step(s.history, "Paste");
    step.Touch(s.virt, row);
    s.virt.Sound(row)[offs::kName] ^= 1;
    row = (row + 1) % kSlotCount;
  }
  state.counters["step_bytes"] = static_cast<double>(s.history.NewestStepBytes());
  state.counters["steps"] = static_cast<double>(s.history.UndoCount());
}
BENCHMARK(BM_HistoryRecordOneSlotStep)->Unit(benchmark::kMicrosecond);

// Sorting the Virtual banks (which also refreshes the Blofeld checksums):
// a whole-set step over both sets.
void BM_HistoryUndoRedoSort(benchmark::State& state) {
  Sets s;
  test::ScriptPrompter prompter;
  prompter.answers = {Answer::Yes};  // "Sort all?"
  {
    History::Step step(s.history, "Order by Name");
    step.TouchAll(s.virt).TouchAll(s.blofeld);
    SortBankSet(s.virt, s.blofeld, SortKind::ByName, 0x10, prompter);
  }
  for (auto _ : state) {
    s.history.Undo();
    s.history.Redo();
  }
  state.counters["step_KB"] = static_cast<double>(s.history.NewestStepBytes()) / 1024.0;
}
BENCHMARK(BM_HistoryUndoRedoSort)->Unit(benchmark::kMillisecond);

// Read All: every Blofeld slot replaced, with the instrument's sounds known
// (so every row's changed flag is worked out on the way).
void BM_HistoryUndoRedoReadAll(benchmark::State& state) {
  Sets s;
  {
    History::Step step(s.history, "Read All");
    step.TouchAll(s.blofeld);
    for (int i = 0; i < kSlotCount; ++i) {
      s.blofeld.Sound(i) = test::MakeSound("read " + std::to_string(i));
      s.blofeld.SetChanged(i, false);
      s.history.InstrumentHolds(i, s.blofeld.Sound(i));
    }
  }
  for (auto _ : state) {
    s.history.Undo();
    s.history.Redo();
  }
  state.counters["step_KB"] = static_cast<double>(s.history.NewestStepBytes()) / 1024.0;
}
BENCHMARK(BM_HistoryUndoRedoReadAll)->Unit(benchmark::kMillisecond);

// Recording the sort itself: both sets copied before, compared after.
void BM_HistoryRecordWholeSetStep(benchmark::State& state) {
  Sets s;
  int row = 0;
  for (auto _ : state) {
    History::Step step(s.history, "Order by Name");
    step.TouchAll(s.virt).TouchAll(s.blofeld);
    s.virt.Sound(row)[offs::kName] ^= 1;
    row = (row + 1) % kSlotCount;
  }
}
BENCHMARK(BM_HistoryRecordWholeSetStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvix
