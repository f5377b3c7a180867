// The editor's transfer pass runs every 250 ms on the interface thread; it
// must stay far below that even when every control changed.
#include <benchmark/benchmark.h>

#include "editor/ParameterMap.h"
#include "editor/TransferPass.h"
#include "library/InitSound.h"

namespace tarvix {
namespace {

void BM_ApplyControlsToSoundEveryControl(benchmark::State& st) {
  const SoundData init = MakeDefaultInitSound();
  int messages = 0;
  TransferPass pass(init, [&](int, std::uint8_t) { ++messages; }, {});
  ControlState a = ReadControls(init);
  ControlState b = a;
  const auto& map = ParameterMap::Instance();
  for (std::size_t i = 0; i < b.values.size(); ++i) {
    const auto& c = map[i];
    b.values[i] = c.IsKnob() ? (b.values[i] == c.max ? c.min : c.max) : (c.IsLed() ? 1 - b.values[i] : 0);
  }
  b.name = "Benchmark Sound";
  bool flip = false;
  for (auto _ : st) {
    pass.ApplyControlsToSound(flip ? a : b);
    flip = !flip;
    benchmark::DoNotOptimize(pass.EditSound);
  }
  st.counters["messages/pass"] = benchmark::Counter(messages, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ApplyControlsToSoundEveryControl)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvix
