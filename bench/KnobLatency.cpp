// Time from turning a knob in the editor to its parameter change leaving the
// MIDI port, over many changes at random moments. The editor's 250 ms pass
// sets the bulk of it; this shows nothing else adds noticeably.
//   QT_QPA_PLATFORM=offscreen ./build/knob_latency [changes]
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "controls/TKnob.h"
#include "editor/ParameterMap.h"
#include "editor/TfrmPatchEdit.h"
#include "library/InitSound.h"
#include "library/Prompter.h"

namespace {

using Clock = std::chrono::steady_clock;

class StampingOut : public tarvix::MidiOut {
 public:
  void SendShort(std::uint8_t, std::uint8_t, std::uint8_t) override {}
  void SendLong(std::span<const std::uint8_t>) override { last = Clock::now(), ++count; }
  void ResetOutput() override {}
  Clock::time_point last;
  int count = 0;
};

class NoPrompter : public tarvix::Prompter {
 public:
  tarvix::Answer Ask(const std::string&, tarvix::Buttons) override { return tarvix::Answer::No; }
  std::optional<std::string> OpenFileName(const tarvix::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const tarvix::FileRequest&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
  using namespace tarvix;
  StampingOut out;
  BankSet blofeld;
  NoPrompter prompter;
  RandomSource random(1);
  MemoryLog log;
  int octave = 4;
  Tolerances tolerances;
  SoundLocation location;
  const auto dir = std::filesystem::temp_directory_path();
  TfrmPatchEdit editor(MakeDefaultInitSound(),
                       PatchEditContext{.out = out, .blofeld = blofeld, .refreshBlofeldRow = {}, .prompter = prompter,
                                        .random = random, .log = log, .octave = octave, .volume = [] { return 100; },
                                        .computerKeyboardOn = [] { return false; }, .tolerances = tolerances,
                                        .lastLocation = location, .programDir = dir, .schemaDir = dir, .pause = &TransferPass::SleepOneMillisecond,
                                        .dialogs = {}});
  editor.show();
  QTest::qWait(600);  // the load's own pass
  auto* knob = qobject_cast<TKnob*>(editor.Control(ParameterMap::Instance().IndexOf("KnobFilter1Cutoff")));
  std::mt19937 rng(7);
  std::vector<double> ms;
  for (int i = 0; i < changes; ++i) {
    QTest::qWait(static_cast<int>(rng() % 250));
    const int before = out.count;
    const auto t0 = Clock::now();
    knob->setPosition(knob->Position() == 10 ? 11 : 10);
    while (out.count == before) QTest::qWait(1);
    ms.push_back(std::chrono::duration<double, std::milli>(out.last - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("knob change to message: %d changes, median %.1f ms, worst %.1f ms\n", changes, ms[ms.size() / 2],
              ms.back());
  return 0;
}
