// The converter dialog, the keyboard panel and the receive dialog, driven by clicks and keys; the Qt scheduler.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <thread>

#include "library/Log.h"
#include "midi/HeldKeyTracker.h"
#include "midi/KeyboardPanel.h"
#include "midi/QtScheduler.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/TfrmMidiSysexConverter.h"
#include "midi/TfrmSysExReceiver.h"
#include "tests/midi/MidiFakes.h"
#include "tests/support/ScriptPrompter.h"
#include "tests/support/Sounds.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

using test::Bytes;
using test::ScriptPrompter;
template <typename T = QPushButton>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}
void Click(QWidget& w, const char* button) { QTest::mouseClick(Child(w, button), Qt::LeftButton); }
QString Text(QWidget& w, const char* edit) { return Child<QLineEdit>(w, edit)->text(); }

TEST(TfrmMidiSysexConverter, FileChoicesFillTheFieldsAndSuggestATarget) {
  ScriptPrompter p;
  TfrmMidiSysexConverter toMidi(ConvertMode::SysexToMidi, p);
  toMidi.show();
  p.files = {std::string("/data/bank.syx"), std::nullopt, std::string("/data/other.mid")};
  Click(toMidi, "btnSelectFile");
  EXPECT_EQ(Text(toMidi, "edtFilename"), "/data/bank.syx");
  EXPECT_EQ(Text(toMidi, "edtFilename2"), "/data/bank.syx.mid");
  // Cancelled: the target is still made from whatever the source field holds.
  Child<QLineEdit>(toMidi, "edtFilename")->setText("typed");
  Click(toMidi, "btnSelectFile");
  EXPECT_EQ(Text(toMidi, "edtFilename2"), "typed.mid");
  Click(toMidi, "BitBtn2");
  EXPECT_EQ(Text(toMidi, "edtFilename2"), "/data/other.mid");
  EXPECT_EQ(p.fileFilters, (std::vector<std::string>{"SysEx files|*.syx", "SysEx files|*.syx",
                                                     "Midi files|*.mid|All files|*.*"}));
}

TEST(TfrmMidiSysexConverter, GoConvertsAsksBeforeOverwritingAndReportsFileErrors) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx", mid = dir / "bank.syx.mid";
  test::WriteSounds(
      syx, {VirtualInstrument::DemoSound(0), VirtualInstrument::DemoSound(1), VirtualInstrument::DemoSound(2)});
  ScriptPrompter p;
  // Returns whether the dialog stayed open.
  auto run = [&](ConvertMode mode, const std::filesystem::path& from, const std::filesystem::path& to) {
    p.asked.clear();
    TfrmMidiSysexConverter dlg(mode, p);
    dlg.show();
    Child<QLineEdit>(dlg, "edtFilename")->setText(QString::fromStdString(from.string()));
    Child<QLineEdit>(dlg, "edtFilename2")->setText(QString::fromStdString(to.string()));
    Click(dlg, "btnGo");
    return dlg.isVisible();
  };

  EXPECT_FALSE(run(ConvertMode::SysexToMidi, syx, mid));  // converted, told and closed
  EXPECT_EQ(p.asked, (std::vector<std::string>{mid.string() + ": 3 sounds written"}));
  const auto midi = test::ReadAll(mid);

  // The target exists: No writes nothing, Yes replaces it.
  test::WriteAll(mid, {9, 9});
  p.answers = {Answer::No};
  run(ConvertMode::SysexToMidi, syx, mid);
  EXPECT_EQ(p.asked, (std::vector<std::string>{"Do you want to overwrite?"}));
  EXPECT_EQ(test::ReadAll(mid), (Bytes{9, 9}));
  p.answers = {Answer::Yes};
  run(ConvertMode::SysexToMidi, syx, mid);
  EXPECT_EQ(test::ReadAll(mid), midi);

  // Nothing to recover: told, and the dialog stays.
  test::WriteAll(dir / "empty.mid", Bytes(midi.begin(), midi.begin() + 100));
  EXPECT_TRUE(run(ConvertMode::MidiToSysex, dir / "empty.mid", dir / "empty.syx"));
  EXPECT_EQ(p.asked, std::vector<std::string>{(dir / "empty.mid").string() +
                                              ": no sound dump found; left out: 1 message cut off; "
                                              "damaged file: the MIDI file is cut off at byte 100"});
  // A source that cannot be opened: one error box naming it, nothing written, no overwrite question, the dialog stays
  // for another try.
  test::WriteAll(dir / "back.syx", {7});
  EXPECT_TRUE(run(ConvertMode::MidiToSysex, dir / "gone.mid", dir / "back.syx"));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_NE(p.asked[0].find("gone.mid"), std::string::npos) << p.asked[0];
  EXPECT_EQ(test::ReadAll(dir / "back.syx"), (Bytes{7}));
}

using Sent = std::vector<Bytes>;

// A stand-in for the main window with the panel at its bottom.
struct PanelFixture : ::testing::Test {
  test::RecordingOut out;  // outlives the window
  QMainWindow main;
  QLineEdit* edit = new QLineEdit;
  KeyboardPanel* panel = new KeyboardPanel;
  int channel = 0;
  QString foreground = "TfrmMain";

  void SetUp() override {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(edit);
    layout->addWidget(panel);
    main.setCentralWidget(central);
    main.setProperty("windowClass", "TfrmMain");
    panel->setOutput([this] { return &out; });
    panel->setChannelProvider([this] { return channel; });
    panel->setMainWindow(&main);
    panel->setForegroundClassProvider([this] { return foreground; });
    main.show();
  }
  void Press(QWidget* w, Qt::Key key, const QString& text = {}, bool repeat = false) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text, repeat);
    QApplication::sendEvent(w, &e);
  }
  void Release(QWidget* w, Qt::Key key) {
    QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  QString Octave() { return Child<QLabel>(*panel, "lblOctave")->text(); }
  Sent Take() { return std::exchange(out.sent, {}); }
};

TEST_F(PanelFixture, KeysHeldInAnyWindowPlayOnTheSelectedPartsChannel) {
  QWidget editor;
  editor.setProperty("windowClass", "TfrmPatchEdit");
  editor.show();
  channel = 2;
  Child<QScrollBar>(*panel, "ScrollBarVolume")->setValue(0);
  Press(&editor, Qt::Key_H, "h");
  Press(&editor, Qt::Key_H, "h", true);  // auto-repeat changes nothing
  panel->tmrKeyboardTimer();
  panel->tmrKeyboardTimer();
  Release(&editor, Qt::Key_H);
  panel->tmrKeyboardTimer();
  EXPECT_EQ(Take(), (Sent{{0x92, 69, 0}, {0x82, 69, 0}}));

  // X on the main window raises the octave ...
  Press(edit, Qt::Key_X, "x");
  Release(edit, Qt::Key_X);
  EXPECT_EQ(Octave(), "Octave 5");
  // ... but X typed in another window is just a letter.
  Press(&editor, Qt::Key_X, "x");
  Release(&editor, Qt::Key_X);
  EXPECT_EQ(panel->player().Octave(), 5);
  // The panel's own buttons move the octave within 0..10.
  for (int i = 0; i < 11; ++i) Click(*panel, "btnPlusOct");
  EXPECT_EQ(Octave(), "Octave 10");
  for (int i = 0; i < 11; ++i) Click(*panel, "btnMinusOct");
  EXPECT_EQ(Octave(), "Octave 0");

  // The main window swallows the playing letters while the keyboard is on.
  edit->clear();
  edit->setFocus();
  QTest::keyClicks(edit, "ahoy bedfgAswx1");
  EXPECT_EQ(edit->text(), "oy bAswx1");
  QWidget other;
  auto* otherEdit = new QLineEdit(&other);
  QTest::keyClicks(otherEdit, "ahoy");
  EXPECT_EQ(otherEdit->text(), "ahoy");
  panel->setKeyboardOn(false);
  edit->clear();
  QTest::keyClicks(edit, "ahoy");
  EXPECT_EQ(edit->text(), "ahoy");
}

TEST_F(PanelFixture, NotesStopWhenTheyCanNoLongerBeReleased) {
  QSignalSpy toggled(panel, &KeyboardPanel::keyboardOnChanged);
  EXPECT_TRUE(panel->keyboardTimer()->isActive());  // on from the start
  EXPECT_TRUE(panel->hookTimer()->isActive());
  auto holdAD = [&] {
    Press(edit, Qt::Key_A, "a");
    Press(edit, Qt::Key_D, "d");
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Take().size(), 2u);
  };
  const Sent offs{{0x80, 60, 0}, {0x80, 64, 0}};

  // Hiding the keyboard: note-offs, both timers stop, the menu hears of it.
  holdAD();
  Click(*panel, "btnHideKeyboard");
  EXPECT_EQ(Take(), offs);
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(panel->keyboardTimer()->isActive());
  EXPECT_FALSE(panel->hookTimer()->isActive());
  ASSERT_EQ(toggled.count(), 1);
  EXPECT_FALSE(toggled.at(0).at(0).toBool());
  panel->setKeyboardOn(true);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(panel->keyboardTimer()->isActive());
  EXPECT_EQ(toggled.count(), 2);
  Release(edit, Qt::Key_A);
  Release(edit, Qt::Key_D);

  // The application loses the focus: the releases go elsewhere.
  holdAD();
  panel->tracker().ApplicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(Take(), offs);
  panel->tmrKeyboardTimer();
  EXPECT_TRUE(Take().empty());

  // Another window in front stops the scan within the hook's period.
  holdAD();
  foreground = "TfrmMidiSysexConverter";
  panel->tmrKeyboardHookTimer();
  EXPECT_FALSE(panel->keyboardTimer()->isActive());
  EXPECT_EQ(Take(), offs);
  foreground = "TfrmLocker";
  panel->tmrKeyboardHookTimer();
  EXPECT_TRUE(panel->keyboardTimer()->isActive());
  panel->tmrKeyboardTimer();  // the keys are still down: they sound again
  EXPECT_EQ(Take().size(), 2u);
}

TEST(KeyboardPanel, WindowClassComesFromThePropertyOrTheName) {
  QWidget w;
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "QWidget");
  w.setObjectName("TfrmMorph");
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "TfrmMorph");
  w.setProperty("windowClass", "TfrmLocker");
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "TfrmLocker");
}

TEST(TfrmSysExReceiver, CloseButtonEndsAModalRead) {
  QtScheduler scheduler;
  ManualScheduler unused;
  test::ScriptedLink link{unused};
  link.silent = true;
  MemoryLog log;
  BankSet blofeld;
  QWidget main;
  main.setGeometry(100, 100, 800, 600);
  TfrmSysExReceiver dlg(&main);
  ReceiveDispatcher d(blofeld, link, scheduler, dlg, log);
  dlg.SetDispatcher(&d);

  // A bank read against a silent instrument stays up until Cancel; the button says so while the read runs, and a
  // progress bar shows.
  bool closed = false;
  QTimer::singleShot(1200, &dlg, [&] {
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NEAR(dlg.frameGeometry().center().x(), main.mapToGlobal(main.rect().center()).x(), 20);
    EXPECT_EQ(dlg.btnClose()->text(), "Cancel");
    EXPECT_TRUE(dlg.Progress()->isVisible());
    EXPECT_EQ(dlg.Progress()->maximum(), 128);
    QTest::mouseClick(dlg.btnClose(), Qt::LeftButton);
  });
  d.ReadBank(0, [&] { closed = true; });  // blocks in the dialog's loop
  EXPECT_TRUE(closed);
  EXPECT_EQ(link.sent.size(), 2u);  // the request, and once more after 500 ms
  EXPECT_EQ(dlg.btnClose()->text(), "&Close");
  EXPECT_TRUE(d.Cancelled);

  dlg.ShowModeless();  // as sends show it
  EXPECT_TRUE(dlg.isVisible());
  dlg.Hide();
  EXPECT_FALSE(dlg.isVisible());
}

TEST(QtScheduler, PostsFromAnotherThreadRunInOrderOnTheInterfaceThread) {
  QtScheduler scheduler;
  std::vector<int> order;
  bool onMain = true;
  const auto mainThread = std::this_thread::get_id();
  std::thread t([&] {
    for (int i = 0; i < 100; ++i)
      scheduler.post([&, i] {
        order.push_back(i);
        onMain = onMain && std::this_thread::get_id() == mainThread;
      });
    scheduler.runAfter(20, [&] { order.push_back(1000); });
  });
  t.join();
  QTRY_COMPARE_WITH_TIMEOUT(order.size(), std::size_t{101}, 2000);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(order.back(), 1000);
  EXPECT_TRUE(onMain);
}

}  // namespace
}  // namespace tarvix
