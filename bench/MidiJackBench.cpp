// Reading from the built-in instrument across a real JACK server: the
// instrument sits on JACK ports of its own client, the program opens them by
// name like any device, and every message crosses the server. Run it through
// bench/run-jack-bench.sh, which starts a private server (period 64 frames)
// and stops it afterwards.
//
// Counters: ms_per_sound is the read time divided by the sounds read;
// budget_ms is what one sound may cost (two periods + 0.5 ms, or for the
// wire-speed read the cable's time for one dump); resends counts requests
// asked for again after a lost message.
#include <benchmark/benchmark.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "bench/QuietReceiverUi.h"
#include "midi/EventLoop.h"
#include "midi/InstrumentPorts.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/RtMidiDriver.h"
#include "midi/VirtualInstrument.h"

namespace tarvix {
namespace {

using QuietUi = bench::QuietReceiverUi;

// The period of the running server in milliseconds, or a negative value when
// no server is reachable.
double JackPeriodMs() {
  jack_client_t* c = jack_client_open("tarvix-bench-probe", JackNoStartServer, nullptr);
  if (!c) return -1;
  const double ms = 1000.0 * jack_get_buffer_size(c) / jack_get_sample_rate(c);
  jack_client_close(c);
  return ms;
}

// The instrument on JACK ports named "Tarvix Bench VI:in" and ":out", as
// `tarvix-cli instrument --jack` runs it.
struct InstrumentOnJack {
  explicit InstrumentOnJack(bool wireSpeed) {
    vi.SetLatencyMs(0);
    vi.SetWireSpeed(wireSpeed);
  }
  VirtualInstrument vi;
  RtMidiDriver driver{RtMidiDriver::Api::Jack, "Tarvix Bench VI"};
  InstrumentPorts ports{driver, vi};
};

// The program's side: its own (unused) built-in instrument, the platform
// driver, the port layer opened on the instrument's JACK ports, the dispatcher.
struct ProgramOnJack {
  ProgramOnJack() : driver(RtMidiDriver::Api::Jack, "Tarvix Bench"), svc(&driver, builtIn, loop, log) {
    svc.EnumerateDevices();
    auto find = [](const std::vector<TMidiDeviceList>& list) {
      for (const auto& d : list)
        if (d.number > 0 && d.name.find("Tarvix Bench VI") != std::string::npos) return d.number;
      return -1;
    };
    svc.Ports.inNumber = find(svc.InputDevices);
    svc.Ports.outNumber = find(svc.OutputDevices);
    ok = svc.Ports.inNumber > 0 && svc.Ports.outNumber > 0 && svc.OpenOutput();
    if (ok) {
      svc.OpenInputs();
      ok = svc.InstrumentInputOpen();
    }
    svc.SetInstrumentHandler(&d);
    d.MidiDelayMs = 0;
    d.OnSlotChanged = [this](int) { ++stored; };
  }
  ~ProgramOnJack() {
    svc.CloseInputs();
    svc.CloseOutput();
  }
  // Reads banks first..last; returns whether every sound arrived.
  bool Read(int first, int last) {
    stored = 0;
    log.lines.clear();
    d.ReadBanks(first, last);
    const int want = (last - first + 1) * kProgramsPerBank;
    loop.RunUntil([&] { return stored >= want; }, 120000);
    d.DialogCloseClicked();
    resends += static_cast<int>(std::count_if(log.lines.begin(), log.lines.end(),
                                              [](const std::string& l) { return l.rfind("No reply for", 0) == 0; }));
    return stored >= want;
  }
  VirtualInstrument builtIn;
  EventLoop loop;
  MemoryLog log;
  RtMidiDriver driver;
  MidiService svc;
  QuietUi ui;
  BankSet blofeld;
  ReceiveDispatcher d{blofeld, svc, loop, ui, log};
  int stored = 0;
  int resends = 0;
  bool ok = false;
};

void RunRead(benchmark::State& state, bool wireSpeed, int first, int last, double budgetMs) {
  if (JackPeriodMs() < 0) {
    state.SkipWithError("no JACK server; run bench/run-jack-bench.sh");
    return;
  }
  InstrumentOnJack instrument(wireSpeed);
  ProgramOnJack program;
  if (!program.ok) {
    state.SkipWithError("cannot open the instrument's JACK ports");
    return;
  }
  const int sounds = (last - first + 1) * kProgramsPerBank;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!program.Read(first, last)) state.SkipWithError("not every sound arrived");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.SetItemsProcessed(state.iterations() * sounds);
  state.counters["ms_per_sound"] = 1000.0 * seconds / static_cast<double>(state.iterations() * sounds);
  state.counters["budget_ms"] = budgetMs;
  state.counters["resends"] = static_cast<double>(program.resends) / static_cast<double>(state.iterations());
}

void BM_ReadAllOverJack(benchmark::State& state) {
  RunRead(state, false, 0, kBankCount - 1, 2 * JackPeriodMs() + 0.5);
}
BENCHMARK(BM_ReadAllOverJack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_OneBankAtWireSpeedOverJack(benchmark::State& state) {
  RunRead(state, true, 0, 0, 1000.0 * kSoundSize / VirtualInstrument::kWireBytesPerSecond);
}
BENCHMARK(BM_OneBankAtWireSpeedOverJack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace tarvix
