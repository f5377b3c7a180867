// The sound library at the size of a large collection: 100 files of 1000
// sounds (about 39 MB of SysEx), generated in a temporary folder.
//   ./build/bench_soundlib
// BM_Import builds the library the other benchmarks search; its counters
// give the file's size against the raw sound bytes.
#include <benchmark/benchmark.h>

#include <random>

#include "soundlib/SoundLibrary.h"
#include "tests/support/Sounds.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

constexpr int kFiles = 100;
constexpr int kSoundsPerFile = 1000;

// Names from a small vocabulary, as real banks have: many share words.
const char* const kWords[] = {"Warm", "Pad", "Bass", "Lead", "Pluck", "Bell", "Organ", "String", "Brass", "Choir",
                              "Dark", "Soft", "Fat", "Thin", "Sweep", "Noise", "Arp", "Seq", "Keys", "Atmo",
                              "Drum", "Perc", "Saw", "Glass", "Metal", "Wood", "Air", "Deep"};

struct Collection {
  test::TempDir dir;
  std::filesystem::path files = dir / "files";
  std::filesystem::path db = dir / "library.db";
  std::uintmax_t rawBytes = 0;
  bool imported = false;

  Collection() {
    std::filesystem::create_directory(files);
    std::mt19937 rng(1);
    for (int f = 0; f < kFiles; ++f) {
      std::vector<SoundData> sounds;
      for (int i = 0; i < kSoundsPerFile; ++i) {
        const std::string name = std::string(kWords[rng() % std::size(kWords)]) + " " +
                                 kWords[rng() % std::size(kWords)] + " " + std::to_string(rng() % 100);
        SoundData s = test::MakeSound(name, static_cast<std::uint8_t>(rng() % 13));
        for (std::size_t o = offs::kFirstParameter; o < offs::kName; ++o) s[o] = static_cast<std::uint8_t>(rng() % 128);
        sounds.push_back(s);
      }
      const auto file = files / ("bank" + std::to_string(f) + ".syx");
      test::WriteSounds(file, sounds);
      rawBytes += std::filesystem::file_size(file);
    }
  }

  void Import() {
    std::filesystem::remove(db);
    SoundLibrary lib(db);
    const ImportReport r = lib.ImportPaths({files});
    if (r.added != kFiles * kSoundsPerFile) std::abort();
    imported = true;
  }
};

Collection& Shared() {
  static Collection c;
  return c;
}

SoundLibrary& Library() {
  if (!Shared().imported) Shared().Import();
  static SoundLibrary lib(Shared().db);
  return lib;
}

void BM_Import100k(benchmark::State& state) {
  Collection& c = Shared();
  for (auto _ : state) c.Import();
  const auto size = std::filesystem::file_size(c.db);
  state.counters["sounds"] = kFiles * kSoundsPerFile;
  state.counters["raw_MB"] = static_cast<double>(c.rawBytes) / 1e6;
  state.counters["db_MB"] = static_cast<double>(size) / 1e6;
  state.counters["db_per_raw"] = static_cast<double>(size) / static_cast<double>(c.rawBytes);
}
BENCHMARK(BM_Import100k)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FindSubstring(benchmark::State& state) {
  SoundLibrary& lib = Library();
  const char* const queries[] = {"dark sw", "ORGAN", "ss 4", "pluck", "air 9"};
  std::size_t found = 0, q = 0;
  for (auto _ : state) {
    found += lib.Find({.text = queries[q++ % std::size(queries)]}).size();
  }
  state.counters["found_per_query"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindSubstring)->Unit(benchmark::kMillisecond);

void BM_FindTwoLetters(benchmark::State& state) {
  SoundLibrary& lib = Library();
  for (auto _ : state) benchmark::DoNotOptimize(lib.Find({.text = "ee", .limit = 200}));
}
BENCHMARK(BM_FindTwoLetters)->Unit(benchmark::kMillisecond);

void BM_Similar(benchmark::State& state) {
  SoundLibrary& lib = Library();
  std::int64_t id = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lib.Similar(id, 20));
    id = id % 100000 + 7919;
  }
}
BENCHMARK(BM_Similar)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvix
