// "Read All" from the built-in instrument through the whole link: dispatcher,
// port layer, the instrument's own thread and the hand-over back to the
// interface thread. Delay 0 and latency 0, so what is measured is the
// program's own overhead per sound.
#include <benchmark/benchmark.h>

#include "library/InitSound.h"
#include "midi/EventLoop.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/VirtualInstrument.h"

namespace tarvix {
namespace {

struct QuietUi : ReceiverUi {
  void SetLabel(const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void ShowModal(std::function<void()> f) override { onClosed = std::move(f); }
  void ShowModeless() override {}
  void Hide() override {}
  void Close() override {
    if (auto f = std::move(onClosed)) f();
  }
  std::function<void()> onClosed;
};

void BM_ReadAllFromVirtualInstrument(benchmark::State& state) {
  VirtualInstrument vi;
  vi.SetLatencyMs(0);
  EventLoop loop;
  MemoryLog log;
  MidiService svc(nullptr, vi, loop, log);
  svc.EnumerateDevices();
  svc.OpenOutput();
  svc.OpenInputs();
  QuietUi ui;
  BankSet blofeld;
  ReceiveDispatcher d(blofeld, svc, loop, ui, log);
  svc.SetInstrumentHandler(&d);
  d.MidiDelayMs = 0;
  int stored = 0;
  d.OnSlotChanged = [&](int) { ++stored; };
  for (auto _ : state) {
    stored = 0;
    log.lines.clear();
    d.ReadAll();
    loop.RunUntil([&] { return stored == kSlotCount; }, 60000);
    d.DialogCloseClicked();
    if (stored != kSlotCount) state.SkipWithError("not every sound arrived");
  }
  // Time per iteration / 1024 is the cost of one sound; items_per_second its inverse.
  state.SetItemsProcessed(state.iterations() * kSlotCount);
}
BENCHMARK(BM_ReadAllFromVirtualInstrument)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tarvix
