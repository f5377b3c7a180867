// One transfer at a time in the main window, driven by real key and mouse
// events against the built-in instrument.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <mutex>

#include "app/TfrmMain.h"
#include "tests/support/TestWindow.h"
#include "library/SoundFile.h"
#include "midi/MidiDriver.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/TfrmSysExReceiver.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/QtTestMain.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

struct TransferFixture {
  test::TempDir dir;
  test::ScriptedPrompter prompter;
  std::unique_ptr<TfrmMain> window;
  // Sound dumps that left for the instrument, with their times.
  std::mutex mutex;
  std::vector<std::pair<qint64, int>> dumps;  // (ms, slot)
  QElapsedTimer clock;

  TfrmMain& Open(MidiDriver* driver = nullptr) {
    test::WriteSounds(dir / kInitSoundFileName, {MakeDefaultInitSound()});
    window = test::OpenTestWindow(dir, &prompter, driver);
    clock.start();
    window->Midi().SetTrace([this](bool out, std::span<const std::uint8_t> b) {
      if (!out || b.size() != kSoundSize || b[4] != 0x10) return;
      std::lock_guard lock(mutex);
      dumps.emplace_back(clock.elapsed(), b[5] * kProgramsPerBank + b[6]);
    });
    return *window;
  }
  std::size_t DumpCount() {
    std::lock_guard lock(mutex);
    return dumps.size();
  }
  // Rows first..last changed and selected with a click and a shift-click.
  void SelectChangedRows(int first, int last) {
    TfrmMain& w = *window;
    for (int i = first; i <= last; ++i) {
      SetSoundName(w.Blofeld(), i, "Mine " + std::to_string(i));
      w.Blofeld().SetChanged(i);
    }
    BankListView* lv = w.BlofeldList();
    auto point = [lv](int row) {
      lv->scrollTo(lv->model()->index(row, 1));
      return lv->visualRect(lv->model()->index(row, 1)).center();
    };
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, point(first));
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, Qt::ShiftModifier, point(last));
    QApplication::setActiveWindow(&w);
    lv->setFocus();
    prompter.answers = {Answer::Yes};  // the send's "replacing ... there?"
  }
  void Enter(bool autoRepeat) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", autoRepeat);
    QApplication::sendEvent(window->BlofeldList(), &press);
  }
};

// A one-way interface (or a MIDI monitor): one output and no input at all.
class OneWayDriver : public MidiDriver {
 public:
  std::vector<std::string> InputNames() override { return {}; }
  std::vector<std::string> OutputNames() override { return {"One-Way Out"}; }
  std::unique_ptr<MidiOutputPort> OpenOutput(int, const std::string&) override {
    struct Port : MidiOutputPort {
      explicit Port(OneWayDriver& d) : driver(d) {}
      void Send(std::span<const std::uint8_t> b) override {
        std::lock_guard lock(driver.mutex);
        if (b.size() == kSoundSize) driver.dumps.emplace_back(b.begin(), b.end());
      }
      OneWayDriver& driver;
    };
    return std::make_unique<Port>(*this);
  }
  std::unique_ptr<MidiInputPort> OpenInput(int, const std::string& name, InputCallback) override {
    throw MidiError(name + ": no such input");
  }
  std::vector<std::vector<std::uint8_t>> Dumps() {
    std::lock_guard lock(mutex);
    return dumps;
  }
  std::mutex mutex;
  std::vector<std::vector<std::uint8_t>> dumps;
};

TEST(TransfersWindow, SendingSelectedSoundsAndAFileNeedsOnlyAnOutput) {
  TransferFixture f;
  OneWayDriver port;
  std::ofstream(f.dir / kSettingsFileName) << "[Midi]\nMidiOutDeviceID=One-Way Out\nMIDIDelay=0\n";
  TfrmMain& w = f.Open(&port);
  w.Midi().CloseInputs();  // nothing to listen on
  ASSERT_FALSE(w.Midi().InstrumentInputOpen());
  f.SelectChangedRows(0, 2);
  f.Enter(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  auto dumps = port.Dumps();
  ASSERT_EQ(dumps.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(SoundData::FromBytes(dumps[i]), w.Blofeld().Sound(i)) << i;
    EXPECT_FALSE(w.Blofeld().Changed(i)) << i;
  }

  test::WriteSounds(f.dir / "two.syx", {w.Blofeld().Sound(1), w.Blofeld().Sound(2)});
  f.prompter.openName = (f.dir / "two.syx").string();
  f.prompter.answers = {Answer::Yes};  // "Send 2 sounds to the Blofeld, replacing ..."
  w.Action("actSendSysExFromFile")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  dumps = port.Dumps();
  ASSERT_EQ(dumps.size(), 5u);
  EXPECT_EQ(dumps[3], dumps[1]);
  EXPECT_EQ(dumps[4], dumps[2]);
  // The two send questions and nothing else: no failure was reported.
  ASSERT_EQ(f.prompter.asked.size(), 2u);
  EXPECT_EQ(f.prompter.asked[1].rfind("Send 2 sounds", 0), 0u) << f.prompter.asked[1];
  EXPECT_EQ(w.Instrument().RequestsReceived(), 0);  // nothing went to the built-in instrument
}

TEST(TransfersWindow, HoldingEnterDuringASendStartsOneSendPacedByTheDelay) {
  TransferFixture f;
  TfrmMain& w = f.Open();
  f.SelectChangedRows(0, 9);
  f.Enter(false);
  ASSERT_TRUE(w.Dispatcher().Busy());
  // The key stays down: the keyboard repeats it every 30 ms or so.
  for (int k = 0; k < 22; ++k) {
    QTest::qWait(30);
    QApplication::setActiveWindow(&w);
    f.Enter(true);
  }
  EXPECT_FALSE(w.Action("actSendSelected")->isEnabled());
  EXPECT_FALSE(w.findChild<QPushButton*>("btnReadAll")->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 10000));
  std::lock_guard lock(f.mutex);
  ASSERT_EQ(f.dumps.size(), 10u);
  for (std::size_t i = 0; i < f.dumps.size(); ++i) {
    EXPECT_EQ(f.dumps[i].second, static_cast<int>(i));
    if (i > 0) {
      EXPECT_GE(f.dumps[i].first - f.dumps[i - 1].first, 240) << i;
    }
  }
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(w.Blofeld().Changed(i)) << i;
  EXPECT_TRUE(w.Action("actSendSelected")->isEnabled());
  EXPECT_TRUE(w.findChild<QPushButton*>("btnReadAll")->isEnabled());
}

TEST(TransfersWindow, ReadAllCannotCutASendAndRunsWholeAfterIt) {
  TransferFixture f;
  TfrmMain& w = f.Open();
  const int requestsBefore = w.Instrument().RequestsReceived();  // the global data at start
  f.SelectChangedRows(0, 5);
  f.Enter(false);
  QTest::qWait(300);
  auto* readAll = w.findChild<QPushButton*>("btnReadAll");
  QTest::mouseClick(readAll, Qt::LeftButton);  // disabled: nothing starts
  EXPECT_EQ(w.Receiver()->btnClose()->text(), "Cancel");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 10000));
  EXPECT_EQ(f.DumpCount(), 6u);
  EXPECT_EQ(w.Instrument().RequestsReceived(), requestsBefore);
  EXPECT_EQ(w.Receiver()->btnClose()->text(), "&Close");

  QTest::mouseClick(readAll, Qt::LeftButton);  // returns when the read has ended
  EXPECT_TRUE(w.Dispatcher().Missing.empty());
  for (int i = 0; i < kSlotCount; ++i) {
    SoundData expected = w.Instrument().Sound(i);
    ASSERT_EQ(w.Blofeld().Sound(i)[offs::kFirstParameter + 356], expected[offs::kFirstParameter + 356]) << i;
    ASSERT_EQ(TrimmedSoundName(w.Blofeld().Sound(i)), TrimmedSoundName(expected)) << i;
  }
  // Only the send asked; the read found nothing missing.
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_EQ(f.prompter.asked[0].rfind("Send 6 sounds", 0), 0u) << f.prompter.asked[0];
}

TEST(TransfersWindow, CancelStopsASendAndTheUnsentKeepTheirChangedMarks) {
  TransferFixture f;
  TfrmMain& w = f.Open();
  f.SelectChangedRows(20, 29);
  f.Enter(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.DumpCount() >= 3; }, 5000));
  QTest::mouseClick(w.Receiver()->btnClose(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 2000));
  QTest::qWait(600);
  const std::size_t sent = f.DumpCount();
  EXPECT_GE(sent, 3u);
  EXPECT_LT(sent, 10u);
  for (int i = 20; i < 30; ++i) EXPECT_EQ(w.Blofeld().Changed(i), i >= 20 + static_cast<int>(sent)) << i;
  EXPECT_EQ(w.Dispatcher().SentCount, static_cast<int>(sent));
  EXPECT_TRUE(w.Dispatcher().Cancelled);
  // Only the send's question: the user's own cancel asks nothing more.
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_EQ(f.prompter.asked[0].rfind("Send 10 sounds", 0), 0u) << f.prompter.asked[0];
}

TEST(TransfersWindow, AReadThatStaysIncompleteNamesTheMissingSlots) {
  TransferFixture f;
  TfrmMain& w = f.Open();
  w.Instrument().InjectFault(5, {VirtualInstrument::FaultKind::Drop, 0, 0, false});
  w.Instrument().InjectFault(77, {VirtualInstrument::FaultKind::Corrupt, 0, 0, false});
  w.Action("actReadBankA")->trigger();
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_EQ(f.prompter.asked[0],
            "No valid reply came for 2 sound(s): A006, A078. They keep what they held before; read them again.");
  EXPECT_EQ(TrimmedSoundName(w.Blofeld().Sound(5)), "Init");
  EXPECT_EQ(TrimmedSoundName(w.Blofeld().Sound(6)), TrimmedSoundName(w.Instrument().Sound(6)));
}

}  // namespace
}  // namespace tarvix
