// Bank set operations on a full set of 1024 sounds.
//   ./build/bench_library --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <random>

#include "library/BankOperations.h"
#include "library/InitSound.h"
#include "library/SortFind.h"
#include "library/SoundFile.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

BankSet RandomSet(unsigned seed) {
  std::mt19937 rng(seed);
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) {
    std::string name;
    for (int k = 0; k < 10; ++k) name.push_back(static_cast<char>(" abcdefghijklmnopqrstuvwxyzABC"[rng() % 30]));
    set.Sound(i) = test::MakeSound(name, static_cast<std::uint8_t>(rng() % 13), i / 128, i % 128);
  }
  return set;
}

struct Files {
  test::TempDir dir;
  std::filesystem::path bank = dir / "bank.syx";
  Files() {
    BankSet set = RandomSet(1);
    SaveAllRenumbered(set, bank);
  }
};

Files& SharedFiles() {
  static Files files;
  return files;
}

void BM_LoadBankFile(benchmark::State& state) {
  BankSet set;
  for (auto _ : state) benchmark::DoNotOptimize(LoadSoundFile(set, SharedFiles().bank, 0));
}
BENCHMARK(BM_LoadBankFile)->Unit(benchmark::kMillisecond);

void BM_SaveAllRenumbered(benchmark::State& state) {
  BankSet set = RandomSet(2);
  const auto out = SharedFiles().dir / "out.syx";
  for (auto _ : state) SaveAllRenumbered(set, out);
}
BENCHMARK(BM_SaveAllRenumbered)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state) {
  const BankSet original = RandomSet(3);
  const auto kind = static_cast<SortKind>(state.range(0));
  test::ScriptedPrompter p;
  for (auto _ : state) {
    state.PauseTiming();
    BankSet set = original;
    SelectAll(set);
    state.ResumeTiming();
    SortBankSet(set, set, kind, 0, p);
  }
}
BENCHMARK(BM_Sort)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RefreshChecksums(benchmark::State& state) {
  BankSet set = RandomSet(4);
  for (auto _ : state) RefreshChecksums(set, 0);
}
BENCHMARK(BM_RefreshChecksums)->Unit(benchmark::kMillisecond);

void BM_FindNextNoMatch(benchmark::State& state) {
  BankSet set = RandomSet(5);
  const SearchState search{"no such name", SearchState::kAnyCategory};
  for (auto _ : state) benchmark::DoNotOptimize(FindNext(set, search));
}
BENCHMARK(BM_FindNextNoMatch)->Unit(benchmark::kMillisecond);

// A 100 MB file streams through in constant memory: the peak resident size
// after the load is reported beside the time.
void BM_Load100MB(benchmark::State& state) {
  const auto big = SharedFiles().dir / "big.syx";
  if (!std::filesystem::exists(big)) {
    std::vector<const SoundData*> sounds;
    BankSet set = RandomSet(6);
    for (int r = 0; r < 250; ++r)
      for (int i = 0; i < kSlotCount; ++i) sounds.push_back(&set.Sound(i));
    WriteSoundRecords(big, sounds);  // 250 x 1024 x 392 bytes = 100 MB
  }
  BankSet set;
  for (auto _ : state) benchmark::DoNotOptimize(LoadSoundFile(set, big, 0));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["maxRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(std::filesystem::file_size(big)) * state.iterations() / 1e6,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Load100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tarvix
