// The main window against an instrument on a real JACK server: the commands
// the built-in instrument answers in-process must work the same across the
// transport. CTest runs this inside its private-JACK-server fixture.
#include "midi/InstrumentPorts.h"
#include "midi/RtMidiDriver.h"
#include "tests/app/AppTest.h"

namespace tarvix {
namespace {

TEST(MainWindowOverJack, ReadsEverySoundAcrossTheServer) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "runs inside the JACK fixture";
  VirtualInstrument instrument;
  instrument.SetLatencyMs(0);
  RtMidiDriver driver(RtMidiDriver::Api::Jack, "TarvixWindowSim");
  InstrumentPorts ports(driver, instrument);

  // JACK numbers client names ("TarvixWindowSim-02"), so take them from the lists.
  auto named = [](const std::vector<std::string>& names) {
    const auto n = std::ranges::find_if(names, [](const auto& s) { return s.rfind("TarvixWindowSim", 0) == 0; });
    return n == names.end() ? std::string() : *n;
  };
  const std::string out = named(driver.InputNames()), in = named(driver.OutputNames());
  ASSERT_FALSE(out.empty());
  ASSERT_FALSE(in.empty());
  test::AppFixture f("[Midi]\nMidiInDeviceID=" + out + "\nMidiOutDeviceID=" + in + "\nMIDIDelay=0\n");
  MainWindowOptions o;
  o.programDirectory = f.dir.Path();
  o.logFile = f.dir / "blofeld.log";
  o.prompter = &f.prompter;
  o.midiSettingsAtStart = false;
  o.jackMidi = true;
  TfrmMain w(o);
  w.show();
  // Activating the window stops a receive; let that happen before the read.
  QApplication::setActiveWindow(&w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  w.Action("actReadAll")->trigger();
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(w.Blofeld().Sound(i), instrument.Sound(i)) << i;
  EXPECT_EQ(w.Instrument().RequestsReceived(), 0);  // nothing went to the built-in one
}

}  // namespace
}  // namespace tarvix
