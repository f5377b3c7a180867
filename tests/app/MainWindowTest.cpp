#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "app/TfrmMain.h"
#include "library/SoundFile.h"
#include "editor/TfrmPatchEdit.h"
#include "tools/TfrmLocker.h"
#include "tools/TfrmMorph.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/SysExMessages.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/QtTestMain.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;
using test::ScriptedPrompter;
using test::TempDir;

// A main window on a private program folder with its own init sound,
// settings file and log, answering questions from a script.
struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  std::unique_ptr<TfrmMain> window;

  explicit Fixture(const std::string& settingsText = "") {
    const SoundData init = MakeDefaultInitSound();
    test::WriteSounds(dir / kInitSoundFileName, {init});
    if (!settingsText.empty()) {
      std::ofstream(dir / kSettingsFileName) << settingsText;
    }
  }
  TfrmMain& Open() {
    MainWindowOptions o;
    o.programDirectory = dir.Path();
    o.logFile = dir / "blofeld.log";
    o.prompter = &prompter;
    o.systemMidi = false;
    o.midiSettingsAtStart = false;
    window = std::make_unique<TfrmMain>(o);
    window->show();
    QApplication::setActiveWindow(window.get());
    return *window;
  }
};

std::string Name(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }

QPoint RowPoint(BankListView* lv, int row) {
  lv->scrollTo(lv->model()->index(row, 1));
  return lv->visualRect(lv->model()->index(row, 1)).center();
}

// Runs `act` on the next modal dialog once it is shown.
template <typename Fn>
void OnNextDialog(Fn act) {
  QTimer::singleShot(0, [act] {
    for (int i = 0; i < 50 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(d);
  });
}

TEST(MainWindow, StartsWithTheAutoloadFileAndAsksAboutItAtClose) {
  Fixture f;
  std::vector<SoundData> sounds;
  for (int i = 0; i < 5; ++i) sounds.push_back(MakeSound("Auto" + std::to_string(i), 2, 1, i));
  test::WriteSounds(f.dir / "auto.syx", sounds);
  {
    std::ofstream ini(f.dir / kSettingsFileName);
    ini << "[Globals]\nAutoloadfile=" << (f.dir / "auto.syx").string() << "\nSendToEditBuffer=1\n";
  }
  TfrmMain& w = f.Open();
  QAbstractItemModelTester tester(w.BlofeldList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(Name(w.Blofeld(), 128), "Auto0");  // own positions: B001
  EXPECT_EQ(Name(w.Blofeld(), 0), "Init");
  EXPECT_FALSE(w.Blofeld().Changed(128));
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 0);
  EXPECT_EQ(w.findChild<QGroupBox*>("grpBlofeld")->title(), "Blofeld banks (auto.syx)");
  EXPECT_TRUE(w.findChild<QCheckBox*>("chbSendToEditBuffer")->isChecked());
  EXPECT_TRUE(w.findChild<QCheckBox*>("chbSendToEditBuffer2")->isChecked());
  EXPECT_TRUE(w.Action("actSaveAllBlofeld")->isEnabled());
  EXPECT_FALSE(w.Action("actDeviceVersion")->isEnabled());
  const auto model = w.BlofeldList()->model();
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Index");
  EXPECT_EQ(model->data(model->index(129, 0)).toString(), "B002");
  EXPECT_EQ(model->data(model->index(129, 2)).toString(), "Atmo");

  SetSoundName(w.Blofeld(), 3, "Edited");
  f.prompter.answers = {Answer::Yes};
  w.close();
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_EQ(f.prompter.asked[0], "Do you want to save changes to autoload file (" + (f.dir / "auto.syx").string() + ") ?");
  auto back = ReadSoundRecords(f.dir / "auto.syx");
  ASSERT_EQ(back.size(), 1024u);
  EXPECT_EQ(TrimmedSoundName(back[3]), "Edited");
  // The settings were written on the way out, with every key.
  std::ifstream ini(f.dir / kSettingsFileName);
  std::string text((std::istreambuf_iterator<char>(ini)), {});
  EXPECT_NE(text.find("MIDIDelay=250"), std::string::npos);
  EXPECT_NE(text.find("SendToEditBuffer=1"), std::string::npos);
}

TEST(MainWindow, WithoutSettingsFileUsesDefaultsAndAsksNothingAtClose) {
  Fixture f;
  TfrmMain& w = f.Open();
  EXPECT_EQ(w.CurrentSettings().MIDIDelay, 250);
  EXPECT_FALSE(w.findChild<QCheckBox*>("chbSendToEditBuffer")->isChecked());
  EXPECT_TRUE(w.findChild<QCheckBox*>("chbSendToEditBuffer2")->isChecked());
  w.close();
  EXPECT_TRUE(f.prompter.asked.empty());
  EXPECT_TRUE(std::filesystem::exists(f.dir / kSettingsFileName));
}

TEST(MainWindow, LogGoesToFileAndMemoWhichKeepsTheLastThousandLines) {
  Fixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < 1001; ++i) w.LogMessage("line " + std::to_string(i));
  QPlainTextEdit* memo = w.LogMemo();
  EXPECT_EQ(memo->document()->blockCount(), 1000);
  EXPECT_EQ(memo->document()->lastBlock().text(), "line 1000");
  QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  std::ifstream log(f.dir / "blofeld.log");
  int lines = 0;
  for (std::string l; std::getline(log, l);) ++lines;
  EXPECT_GE(lines, 1001);
  // A failing command is logged and the program carries on.
  w.Guard([] { throw std::runtime_error("boom"); });
  EXPECT_EQ(memo->document()->lastBlock().text(), "boom");
}

TEST(MainWindow, ClicksStepAndMoveKeysWorkOnTheRightList) {
  Fixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < kSlotCount; ++i) SetSoundName(w.Blofeld(), i, std::to_string(i));
  for (int i = 0; i < kSlotCount; ++i) SetSoundName(w.Virtual(), i, "v" + std::to_string(i));
  int auditioned = -1;
  BankListView* lv = w.BlofeldList();
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, RowPoint(lv, 5));
  EXPECT_EQ(w.Blofeld().CurrentIndex, 5);
  EXPECT_EQ(w.ActiveList(), 1);
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowPoint(lv, 6));
  EXPECT_EQ(w.Blofeld().CurrentIndex, 5);  // shift only selects
  EXPECT_TRUE(w.Blofeld().IsSelected(5) && w.Blofeld().IsSelected(6));
  (void)auditioned;

  // Ctrl+keypad minus moves the Blofeld selection up.
  QTest::keyClick(lv, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(Name(w.Blofeld(), 4), "5");
  EXPECT_EQ(Name(w.Blofeld(), 5), "6");
  EXPECT_EQ(Name(w.Blofeld(), 6), "4");
  EXPECT_TRUE(w.Blofeld().Changed(7));
  EXPECT_EQ(lv->model()->data(lv->model()->index(6, 3)).toString(), "Changed");

  // Keypad plus steps the Blofeld current row; * steps the Virtual one.
  w.Blofeld().CurrentIndex = 1022;
  QTest::keyClick(lv, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(w.Blofeld().CurrentIndex, 1023);
  QTest::keyClick(lv, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(w.Blofeld().CurrentIndex, 1023);
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 1023);
  QTest::keyClick(lv, Qt::Key_Asterisk, Qt::KeypadModifier);
  EXPECT_EQ(w.Virtual().CurrentIndex, 1);
  EXPECT_EQ(w.VirtualList()->CurrentRow(), 1);
  QTest::keyClick(lv, Qt::Key_Slash, Qt::KeypadModifier);
  QTest::keyClick(lv, Qt::Key_Slash, Qt::KeypadModifier);
  EXPECT_EQ(w.Virtual().CurrentIndex, 0);

  // X and Z change the octave within 0..10.
  for (int i = 0; i < 11; ++i) QTest::keyClick(lv, Qt::Key_X);
  EXPECT_EQ(w.Octave(), 10);
  for (int i = 0; i < 15; ++i) QTest::keyClick(lv, Qt::Key_Z);
  EXPECT_EQ(w.Octave(), 0);
}

TEST(MainWindow, RightClickRenamesAndCtrlRightClickMoves) {
  Fixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < kSlotCount; ++i) SetSoundName(w.Blofeld(), i, std::to_string(i));
  BankListView* lv = w.BlofeldList();
  for (int i : {9, 10, 11}) w.Blofeld().Select(i);
  lv->SyncSelectionFromSet();
  QTest::mouseClick(lv->viewport(), Qt::RightButton, Qt::ControlModifier, RowPoint(lv, 49));
  EXPECT_EQ(Name(w.Blofeld(), 47), "9");
  EXPECT_EQ(Name(w.Blofeld(), 49), "11");
  EXPECT_TRUE(lv->selectionModel()->isRowSelected(49, {}));

  // Blofeld rename: the name field is trimmed; OK stores name and category.
  SetSoundName(w.Blofeld(), 20, "  Pad ");
  OnNextDialog([](QDialog* d) {
    auto* name = d->findChild<QLineEdit*>("edtName");
    EXPECT_EQ(name->text(), "Pad");
    EXPECT_EQ(name->maxLength(), 16);
    name->setText("");
    d->findChild<QComboBox*>("cmbCategory")->setCurrentIndex(9);
    d->accept();
  });
  QTest::mouseClick(lv->viewport(), Qt::RightButton, {}, RowPoint(lv, 20));
  EXPECT_EQ(GetSoundName(w.Blofeld(), 20), std::string(16, ' '));
  EXPECT_EQ(GetCategory(w.Blofeld(), 20), 9);
  EXPECT_TRUE(w.Blofeld().Changed(20));

  // Virtual rename keeps the untrimmed name; cancelling changes nothing.
  SetSoundName(w.Virtual(), 3, "Keys");
  OnNextDialog([](QDialog* d) {
    EXPECT_EQ(d->findChild<QLineEdit*>("edtName")->text(), "Keys            ");
    d->reject();
  });
  QTest::mouseClick(w.VirtualList()->viewport(), Qt::RightButton, {}, RowPoint(w.VirtualList(), 3));
  EXPECT_FALSE(w.Virtual().Changed(3));
}

TEST(MainWindow, DropsSwapWithinAListAndCopyBetweenListsAfterAsking) {
  Fixture f;
  TfrmMain& w = f.Open();
  SetSoundName(w.Virtual(), 2, "Pad 1");
  SetSoundName(w.Blofeld(), 128, "Bass");
  w.VirtualList()->SetCurrentRow(2);
  f.prompter.answers = {Answer::No};
  emit w.BlofeldList()->RowDropped(w.VirtualList(), 128);
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_EQ(f.prompter.asked[0], "Do you want to overwrite \"Bass\" with2 \"Pad 1\" ?");
  EXPECT_EQ(Name(w.Blofeld(), 128), "Bass");
  f.prompter.answers = {Answer::Yes};
  emit w.BlofeldList()->RowDropped(w.VirtualList(), 128);
  EXPECT_EQ(Name(w.Blofeld(), 128), "Pad 1");
  EXPECT_TRUE(w.Blofeld().Changed(128));

  w.BlofeldList()->SetCurrentRow(128);
  f.prompter.answers = {Answer::Yes};
  emit w.VirtualList()->RowDropped(w.BlofeldList(), 7);
  EXPECT_EQ(f.prompter.asked.back(), "Do you want to overwrite \"Init\" with \"Pad 1\" ?");
  EXPECT_EQ(Name(w.Virtual(), 7), "Pad 1");

  // Within a list: a swap, without a question; onto its own row it flags it.
  const std::size_t asked = f.prompter.asked.size();
  emit w.BlofeldList()->RowDropped(w.BlofeldList(), 0);
  EXPECT_EQ(Name(w.Blofeld(), 0), "Pad 1");
  EXPECT_EQ(Name(w.Blofeld(), 128), "Init");
  emit w.BlofeldList()->RowDropped(w.BlofeldList(), 128);
  EXPECT_EQ(f.prompter.asked.size(), asked);
}

TEST(MainWindow, CopyPasteSelectAndSortCommands) {
  Fixture f;
  TfrmMain& w = f.Open();
  SetSoundName(w.Blofeld(), 4, "Copied");
  w.BlofeldList()->SetCurrentRow(4);
  w.BlofeldList()->setFocus();
  w.Action("actPasteSound")->trigger();  // empty clipboard: nothing
  EXPECT_FALSE(w.Blofeld().Changed(4));
  w.Action("actCopySound")->trigger();
  w.VirtualList()->SetCurrentRow(9);
  w.VirtualList()->setFocus();
  w.Action("actPasteSound")->trigger();
  EXPECT_EQ(Name(w.Virtual(), 9), "Copied");
  EXPECT_TRUE(w.Virtual().Changed(9));

  // "Select All Changed Sounds from virtual banks" selects Virtual rows.
  w.VirtualList()->clearSelection();
  w.Action("actSelectAllChangedVirtual")->trigger();
  EXPECT_TRUE(w.VirtualList()->selectionModel()->isRowSelected(9, {}));
  EXPECT_EQ(w.VirtualList()->selectionModel()->selectedRows().size(), 1);
  w.Action("actSelectAll")->trigger();
  EXPECT_EQ(w.BlofeldList()->selectionModel()->selectedRows().size(), kSlotCount);

  // Sorting with one row selected asks "Sort all?".
  for (int i = 0; i < kSlotCount; ++i) SetSoundName(w.Virtual(), i, std::string(1, static_cast<char>('z' - i % 26)));
  w.VirtualList()->SetCurrentRow(0);
  f.prompter.answers = {Answer::Yes};
  w.Action("actOrderVirtualByName")->trigger();
  EXPECT_EQ(f.prompter.asked.back(), "Sort all?");
  for (int i = 1; i < kSlotCount; ++i) ASSERT_LE(SortKey(w.Virtual().Sound(i - 1), SortKind::ByName),
                                                SortKey(w.Virtual().Sound(i), SortKind::ByName));
  EXPECT_EQ(w.VirtualList()->selectionModel()->selectedRows().size(), kSlotCount);
}

TEST(MainWindow, FindDialogAndSearchAgainShareTheSearch) {
  Fixture f;
  TfrmMain& w = f.Open();
  SetSoundName(w.Blofeld(), 300, "Warm Pad");
  SetSoundName(w.Virtual(), 17, "Pad Virtual");
  OnNextDialog([](QDialog* d) {
    d->findChild<QLineEdit*>()->setText("Pad");
    d->accept();
  });
  w.Action("actFindBlofeld")->trigger();
  EXPECT_EQ(w.Blofeld().CurrentIndex, 300);
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 300);
  EXPECT_EQ(w.Search().text, "Pad");
  w.Action("actSearchAgainVirtual")->trigger();
  EXPECT_EQ(w.Virtual().CurrentIndex, 17);
  OnNextDialog([](QDialog* d) { d->reject(); });  // Cancel changes nothing
  w.Action("actFindVirtual")->trigger();
  EXPECT_EQ(w.Search().text, "Pad");
}

TEST(MainWindow, LoadAsksWhereAndSavesWhatIsSelected) {
  Fixture f;
  TfrmMain& w = f.Open();
  test::WriteSounds(f.dir / "three.syx", {MakeSound("L1", 1), MakeSound("L2", 1), MakeSound("L3", 1)});
  f.prompter.answers = {Answer::No};
  f.prompter.openName = (f.dir / "three.syx").string();
  w.VirtualList()->SetCurrentRow(1022);
  OnNextDialog([](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Open Sounds Locator");
    EXPECT_EQ(d->findChild<QLabel*>("lblTotalSounds")->text(), "The file contain 3 sounds.");
    d->accept();
  });
  w.Action("actLoadVirtual")->trigger();
  EXPECT_EQ(f.prompter.asked[0], "Save changes ?");
  EXPECT_EQ(Name(w.Virtual(), 1022), "L1");
  EXPECT_EQ(Name(w.Virtual(), 0), "L3");
  EXPECT_EQ(w.findChild<QGroupBox*>("grpVirtual")->title(), "Virtual banks (three.syx)");

  // Cancelling the locator loads nothing.
  OnNextDialog([](QDialog* d) { d->reject(); });
  f.prompter.answers = {Answer::No};
  f.prompter.openName = (f.dir / "three.syx").string();
  w.Action("actLoadBlofeld")->trigger();
  EXPECT_EQ(Name(w.Blofeld(), 0), "Init");

  // Save All selects every row and writes all of them.
  f.prompter.saveName = (f.dir / "all.syx").string();
  w.Action("actSaveAllVirtual")->trigger();
  EXPECT_EQ(ReadSoundRecords(f.dir / "all.syx").size(), 1024u);
  EXPECT_EQ(w.VirtualList()->selectionModel()->selectedRows().size(), kSlotCount);
}

TEST(MainWindow, NewEmptyBanksRefillFromTheInitSound) {
  Fixture f;
  TfrmMain& w = f.Open();
  SetSoundName(w.Blofeld(), 7, "Gone");
  w.Blofeld().SetChanged(7);
  f.prompter.answers = {Answer::No};
  w.Action("actNewEmptyBlofeld")->trigger();
  EXPECT_EQ(f.prompter.asked.back(), "Save changes ?");
  EXPECT_EQ(Name(w.Blofeld(), 7), "Init");
  EXPECT_FALSE(w.Blofeld().Changed(7));
}

TEST(MainWindow, ReadsABankFromTheInstrumentAndSendsSelectedSoundsBack) {
  Fixture f("[Midi]\nMIDIDelay=0\n");
  TfrmMain& w = f.Open();
  w.Action("actReadBankC")->trigger();  // returns when the receive dialog has closed
  for (int i = 256; i < 384; ++i) ASSERT_EQ(w.Blofeld().Sound(i), w.Instrument().Sound(i)) << i;
  EXPECT_EQ(Name(w.Blofeld(), 0), "Init");  // other banks untouched

  const SoundData untouched = w.Instrument().Sound(4);
  // Change two sounds, select them and send them.
  for (int i : {3, 700}) {
    SetSoundName(w.Blofeld(), i, "Sent " + std::to_string(i));
    w.Blofeld().SetChanged(i);
    w.Blofeld().Select(i);
  }
  w.BlofeldList()->SyncSelectionFromSet();
  ASSERT_TRUE(w.Action("actSendSelected")->isEnabled());
  w.Action("actSendSelected")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().Sound(700)) == "Sent 700"; }, 5000));
  EXPECT_EQ(TrimmedSoundName(w.Instrument().Sound(3)), "Sent 3");
  EXPECT_EQ(w.Instrument().Sound(4), untouched);  // unselected slots are not sent
  EXPECT_FALSE(w.Blofeld().Changed(3));
  EXPECT_FALSE(w.Blofeld().Changed(700));
  EXPECT_EQ(w.Instrument().Sound(700)[offs::kChecksum], ChecksumOf(w.Instrument().Sound(700)));
}

TEST(MainWindow, F4OpensTheEditorOnTheInstrumentsEditBufferAndOkStoresTheResult) {
  Fixture f("[Midi]\nMIDIDelay=0\n");
  TfrmMain& w = f.Open();
  SoundData edit = w.Instrument().Sound(42);
  SetSoundName(edit, "In The Buffer");
  SendSoundToEditBuffer(w.Midi(), edit);
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "In The Buffer"; }, 3000));
  w.BlofeldList()->SetCurrentRow(5);

  bool sawEditor = false;
  // The receive dialog comes first; the editor opens once the sound is in.
  // A polling timer (not a loop) so that nested dialogs can run.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget());
    if (!editor || sawEditor) return;
    sawEditor = true;
    EXPECT_EQ(TrimmedSoundName(editor->EditSound()), "In The Buffer");
    auto* name = editor->findChild<QLineEdit*>("edtName");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Edited");
    editor->Timer1Timer();
    editor->accept();
  });
  poll.start(10);
  f.prompter.answers = {Answer::Yes};  // "Do you want to save changes?"
  w.Action("actEditEditBuffer")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return sawEditor && TrimmedSoundName(w.Blofeld().Sound(5)) == "Edited"; }, 6000));
  EXPECT_TRUE(w.Blofeld().Changed(5));
  // The rename was heard: the instrument's edit buffer carries the new name.
  EXPECT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Edited"; }, 3000));
  // No schema was changed or named: closing writes no hidden ".sndfamily".
  EXPECT_FALSE(std::filesystem::exists(f.dir / ".sndfamily"));
}

// Runs `act` on the first modal window of type W, polling with a timer so the
// dialogs before it (the receive dialog) can run their own loops.
template <typename W, typename Fn>
std::unique_ptr<QTimer> OnModal(Fn act) {
  auto poll = std::make_unique<QTimer>();
  auto done = std::make_shared<bool>(false);
  QObject::connect(poll.get(), &QTimer::timeout, [act, done] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!w || *done) return;
    *done = true;
    act(w);
  });
  poll->start(10);
  return poll;
}

TEST(MainWindow, LockerAndMorphAuditionOnTheInstrument) {
  Fixture f("[Midi]\nMIDIDelay=0\n");
  TfrmMain& w = f.Open();
  for (int i = 0; i < 3; ++i) w.Blofeld().Sound(i) = w.Instrument().Sound(i + 10);
  constexpr int kCutoff = 85;  // filter 1 cutoff: in an unlocked group and blended by the morph
  w.Blofeld().Sound(1)[kCutoff] = 17;
  w.Blofeld().Sound(2)[kCutoff] = 99;

  // Locker: with every group unlocked, "Next Sound" (A 2) takes A 2's groups.
  bool lockerDone = false;
  auto lockerPoll = OnModal<TfrmLocker>([&](TfrmLocker* locker) {
    locker->findChild<QPushButton*>("btnNextSound")->click();
    QTimer::singleShot(1200, locker, [&, locker] {
      lockerDone = true;
      locker->reject();
    });
  });
  w.Action("actLocker")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return lockerDone; }, 8000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.Instrument().EditBuffer()[kCutoff] == 17; }, 2000));

  // Morph: A 1 to A 3 at 100 % sends the third sound's cutoff.
  bool morphDone = false;
  auto morphPoll = OnModal<TfrmMorph>([&](TfrmMorph* morph) {
    morph->findChild<QComboBox*>("cmbSound1")->setCurrentIndex(0);
    morph->findChild<QComboBox*>("cmbSound2")->setCurrentIndex(2);
    morph->findChild<QSlider*>("trbMorph")->setValue(100);
    QTimer::singleShot(1500, morph, [&, morph] {
      morphDone = true;
      morph->reject();
    });
  });
  w.Action("actQuasiMorph")->trigger();
  ASSERT_TRUE(morphDone);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.Instrument().EditBuffer()[kCutoff] == 99; }, 2000));
}

TEST(MainWindow, ScreenshotWithTheDemoBanks) {
  const char* out = std::getenv("TARVIX_SCREENSHOT_DIR");
  if (!out) GTEST_SKIP() << "set TARVIX_SCREENSHOT_DIR to write docs pictures";
  Fixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < kSlotCount; ++i) {
    w.Blofeld().Sound(i) = w.Instrument().Sound(i);
    w.Virtual().Sound(i) = w.Instrument().Sound((i + 300) % kSlotCount);
  }
  w.findChild<QGroupBox*>("grpBlofeld")->setTitle("Blofeld banks (demo.syx)");
  w.RebuildList(w.Blofeld());
  w.RebuildList(w.Virtual());
  w.LogMessage("Received 128 sound.");
  w.BlofeldList()->SetCurrentRow(3);
  QTest::qWait(50);
  w.grab().save(QString::fromLocal8Bit(out) + "/main-window.png");
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
