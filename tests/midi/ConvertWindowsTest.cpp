#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <deque>

#include "midi/HeldKeyTracker.h"
#include "midi/KeyboardPanel.h"
#include "midi/TfrmMidiSysexConverter.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

// Answers from a script and remembers what was asked.
struct ScriptedPrompter : Prompter {
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> files;
  std::vector<std::string> asked;
  std::vector<std::string> filters;
  Answer Ask(const std::string& text, Buttons) override {
    asked.push_back(text);
    if (answers.empty()) return Answer::Yes;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const FileRequest& r) override {
    filters.push_back(r.filter);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  std::optional<std::string> SaveFileName(const FileRequest& r) override { return OpenFileName(r); }
};

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

std::vector<std::uint8_t> Sounds(int n) {
  std::vector<std::uint8_t> all;
  for (int k = 0; k < n; ++k) {
    std::vector<std::uint8_t> d(392, static_cast<std::uint8_t>(k));
    d.front() = 0xF0;
    d[1] = 0x3E;  // a sound dump of the instrument
    d[2] = 0x13;
    d[4] = 0x10;
    d.back() = 0xF7;
    all.insert(all.end(), d.begin(), d.end());
  }
  return all;
}

TEST(TfrmMidiSysexConverter, CaptionsAndFileChoicesFollowTheMode) {
  ScriptedPrompter p;
  TfrmMidiSysexConverter toMidi(ConvertMode::SysexToMidi, p);
  toMidi.show();
  EXPECT_EQ(toMidi.windowTitle(), "Convert SysEx to Midi");
  EXPECT_EQ(Child<QPushButton>(toMidi, "btnGo")->text(), "Convert SysEx to Midi");
  EXPECT_EQ(Child<QLabel>(toMidi, "Label1")->text(), "SysEx filename");
  EXPECT_EQ(Child<QLabel>(toMidi, "Label2")->text(), "Midi filename");

  auto* source = Child<QLineEdit>(toMidi, "edtFilename");
  auto* target = Child<QLineEdit>(toMidi, "edtFilename2");
  p.files = {std::string("/data/bank.syx"), std::nullopt, std::string("/data/other.mid")};
  QTest::mouseClick(Child<QPushButton>(toMidi, "btnSelectFile"), Qt::LeftButton);
  EXPECT_EQ(source->text(), "/data/bank.syx");
  EXPECT_EQ(target->text(), "/data/bank.syx.mid");
  // Cancelled: the target is still made from whatever the source field holds.
  source->setText("typed");
  QTest::mouseClick(Child<QPushButton>(toMidi, "btnSelectFile"), Qt::LeftButton);
  EXPECT_EQ(target->text(), "typed.mid");
  QTest::mouseClick(Child<QPushButton>(toMidi, "BitBtn2"), Qt::LeftButton);
  EXPECT_EQ(target->text(), "/data/other.mid");
  EXPECT_EQ(p.filters, (std::vector<std::string>{"SysEx files|*.syx", "SysEx files|*.syx",
                                                 "Midi files|*.mid|All files|*.*"}));

  ScriptedPrompter q;
  TfrmMidiSysexConverter toSysex(ConvertMode::MidiToSysex, q);
  toSysex.show();
  EXPECT_EQ(toSysex.windowTitle(), "Convert Midi to SysEx");
  EXPECT_EQ(Child<QPushButton>(toSysex, "btnGo")->text(), "Convert Midi to SysEx");
  EXPECT_EQ(Child<QLabel>(toSysex, "Label1")->text(), "Midi filename");
  EXPECT_EQ(Child<QLabel>(toSysex, "Label2")->text(), "SysEx filename");
  q.files = {std::string("song.mid"), std::nullopt};
  QTest::mouseClick(Child<QPushButton>(toSysex, "btnSelectFile"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(toSysex, "BitBtn2"), Qt::LeftButton);
  EXPECT_EQ(Child<QLineEdit>(toSysex, "edtFilename2")->text(), "song.mid.syx");
  EXPECT_EQ(q.filters, (std::vector<std::string>{"Midi files|*.mid|All files|*.*", "SysEx files|*.syx"}));
}

TEST(TfrmMidiSysexConverter, GoConvertsAsksBeforeOverwritingAndReportsFileErrors) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx";
  const auto mid = dir / "bank.syx.mid";
  test::WriteAll(syx, Sounds(3));

  auto run = [&](ScriptedPrompter& p, ConvertMode mode, const std::filesystem::path& from,
                 const std::filesystem::path& to) {
    auto dlg = std::make_unique<TfrmMidiSysexConverter>(mode, p);
    dlg->show();
    Child<QLineEdit>(*dlg, "edtFilename")->setText(QString::fromStdString(from.string()));
    Child<QLineEdit>(*dlg, "edtFilename2")->setText(QString::fromStdString(to.string()));
    QTest::mouseClick(Child<QPushButton>(*dlg, "btnGo"), Qt::LeftButton);
    return dlg->isVisible();
  };

  ScriptedPrompter p;
  EXPECT_FALSE(run(p, ConvertMode::SysexToMidi, syx, mid));  // converted, told and closed
  EXPECT_EQ(p.asked, (std::vector<std::string>{mid.string() + ": 3 sounds written"}));
  const auto midi = test::ReadAll(mid);
  EXPECT_EQ(midi.size(), 22u + 3u * 395u + 4u);

  // The target exists: No writes nothing.
  p.asked.clear();
  test::WriteAll(mid, {9, 9});
  p.answers = {Answer::No};
  run(p, ConvertMode::SysexToMidi, syx, mid);
  EXPECT_EQ(p.asked, (std::vector<std::string>{"Do you want to overwrite?"}));
  EXPECT_EQ(test::ReadAll(mid), (std::vector<std::uint8_t>{9, 9}));
  p.answers = {Answer::Yes};
  run(p, ConvertMode::SysexToMidi, syx, mid);
  EXPECT_EQ(test::ReadAll(mid), midi);

  // A damaged MIDI file: what could be read is written, and the window tells
  // what was lost in the same line the command-line tool prints.
  p.asked.clear();
  const auto cut = dir / "cut.mid";
  test::WriteAll(cut, std::vector<std::uint8_t>(midi.begin(), midi.begin() + 22 + 2 * 395 + 100));
  EXPECT_FALSE(run(p, ConvertMode::MidiToSysex, cut, dir / "cut.syx"));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_EQ(p.asked[0], (dir / "cut.syx").string() +
                            ": 2 sound dumps written; left out: 1 message cut off; damaged file: the MIDI file is "
                            "cut off at byte 912");
  EXPECT_EQ(test::ReadAll(dir / "cut.syx").size(), 2u * 392u);
  // Nothing to recover: told, nothing written, the dialog stays.
  p.asked.clear();
  const auto empty = dir / "empty.mid";
  test::WriteAll(empty, std::vector<std::uint8_t>(midi.begin(), midi.begin() + 100));
  EXPECT_TRUE(run(p, ConvertMode::MidiToSysex, empty, dir / "empty.syx"));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_NE(p.asked[0].find("no sound dump found"), std::string::npos) << p.asked[0];
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.syx"));

  p.asked.clear();
  const auto back = dir / "back.syx";
  test::WriteAll(back, {7});
  // A source that cannot be opened: one error box naming it, nothing
  // written, no overwrite question, the dialog stays for another try.
  EXPECT_TRUE(run(p, ConvertMode::MidiToSysex, dir / "gone.mid", back));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_NE(p.asked[0].find("gone.mid"), std::string::npos) << p.asked[0];
  EXPECT_EQ(test::ReadAll(back), (std::vector<std::uint8_t>{7}));
}

struct RecordingOut : MidiOut {
  std::vector<std::array<int, 3>> sent;
  void SendShort(std::uint8_t s, std::uint8_t d1, std::uint8_t d2) override { sent.push_back({s, d1, d2}); }
  void SendLong(std::span<const std::uint8_t>) override {}
  void ResetOutput() override {}
};

using Messages = std::vector<std::array<int, 3>>;

// A stand-in for the main window with the panel at its bottom.
struct PanelFixture : ::testing::Test {
  RecordingOut out;  // outlives the window
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
  Messages Take() { return std::exchange(out.sent, {}); }
};

TEST_F(PanelFixture, PanelStartsOnAndItsButtonsMoveTheOctave) {
  EXPECT_EQ(panel->objectName(), "pnlKeyboard");
  EXPECT_EQ(Child<QLabel>(*panel, "lblOctave")->text(), "Octave 4");
  EXPECT_EQ(Child<QScrollBar>(*panel, "ScrollBarVolume")->value(), 127);
  EXPECT_TRUE(panel->keyboardTimer()->isActive());
  EXPECT_TRUE(panel->hookTimer()->isActive());
  for (int i = 0; i < 11; ++i) QTest::mouseClick(Child<QPushButton>(*panel, "btnPlusOct"), Qt::LeftButton);
  EXPECT_EQ(Child<QLabel>(*panel, "lblOctave")->text(), "Octave 10");
  for (int i = 0; i < 11; ++i) QTest::mouseClick(Child<QPushButton>(*panel, "btnMinusOct"), Qt::LeftButton);
  EXPECT_EQ(Child<QLabel>(*panel, "lblOctave")->text(), "Octave 0");
}

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
  EXPECT_EQ(Take(), (Messages{{0x92, 69, 0}, {0x82, 69, 0}}));

  // X on the main window raises the octave; a key held across it still gets
  // the note-off of the note it started.
  Child<QScrollBar>(*panel, "ScrollBarVolume")->setValue(100);
  Press(edit, Qt::Key_A, "a");
  panel->tmrKeyboardTimer();
  Press(edit, Qt::Key_X, "x");
  Release(edit, Qt::Key_X);
  EXPECT_EQ(Child<QLabel>(*panel, "lblOctave")->text(), "Octave 5");
  Release(edit, Qt::Key_A);
  panel->tmrKeyboardTimer();
  EXPECT_EQ(Take(), (Messages{{0x92, 60, 100}, {0x82, 60, 0}}));
  // ... but X typed in another window is just a letter.
  Press(&editor, Qt::Key_X, "x");
  Release(&editor, Qt::Key_X);
  EXPECT_EQ(panel->player().Octave(), 5);
}

TEST_F(PanelFixture, TheMainWindowSwallowsPlayingLettersWhileTheKeyboardIsOn) {
  edit->setFocus();
  QTest::keyClicks(edit, "ahoy bed");
  EXPECT_EQ(edit->text(), "oy b");
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
  auto holdAD = [&] {
    Press(edit, Qt::Key_A, "a");
    Press(edit, Qt::Key_D, "d");
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Take().size(), 2u);
  };

  // Hiding the keyboard: note-offs, both timers stop, the menu hears of it.
  holdAD();
  QTest::mouseClick(Child<QPushButton>(*panel, "btnHideKeyboard"), Qt::LeftButton);
  EXPECT_EQ(Take(), (Messages{{0x80, 60, 0}, {0x80, 64, 0}}));
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
  EXPECT_EQ(Take(), (Messages{{0x80, 60, 0}, {0x80, 64, 0}}));
  EXPECT_TRUE(panel->tracker().Held().empty());
  panel->tmrKeyboardTimer();
  EXPECT_TRUE(Take().empty());

  // Another window in front stops the scan within the hook's period.
  holdAD();
  foreground = "TfrmMidiSysexConverter";
  panel->tmrKeyboardHookTimer();
  EXPECT_FALSE(panel->keyboardTimer()->isActive());
  EXPECT_EQ(Take(), (Messages{{0x80, 60, 0}, {0x80, 64, 0}}));
  foreground = "TfrmLocker";
  panel->tmrKeyboardHookTimer();
  EXPECT_TRUE(panel->keyboardTimer()->isActive());
  panel->tmrKeyboardTimer();  // the keys are still down: they sound again
  EXPECT_EQ(Take().size(), 2u);
}

TEST(KeyboardPanelStatics, WindowClassComesFromThePropertyOrTheName) {
  QWidget w;
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "QWidget");
  w.setObjectName("TfrmMorph");
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "TfrmMorph");
  w.setProperty("windowClass", "TfrmLocker");
  EXPECT_EQ(KeyboardPanel::WindowClassOf(&w), "TfrmLocker");
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  tarvix::test::TempDir runtime;
  std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path().string()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
