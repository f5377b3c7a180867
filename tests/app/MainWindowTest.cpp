#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "tests/support/TestWindow.h"
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
  bool messageBoxes = false;  // ask with the program's own message boxes instead of the script
  std::unique_ptr<TfrmMain> window;

  explicit Fixture(const std::string& settingsText = "") {
    const SoundData init = MakeDefaultInitSound();
    test::WriteSounds(dir / kInitSoundFileName, {init});
    if (!settingsText.empty()) {
      std::ofstream(dir / kSettingsFileName) << settingsText;
    }
  }
  TfrmMain& Open() {
    window = test::OpenTestWindow(dir, messageBoxes ? nullptr : &prompter);
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

TEST(MainWindow, AFifoOrFolderAsAutoloadFileIsRefusedWithoutBlocking) {
  for (const char* name : {"auto.fifo", "folder"}) {
    Fixture f;
    const auto file = f.dir / name;
    if (std::string(name) == "folder")
      std::filesystem::create_directory(file);
    else
      ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    std::ofstream(f.dir / kSettingsFileName) << "[Globals]\nAutoloadfile=" << file.string() << "\n";
    TfrmMain& w = f.Open();  // would wait forever for a writer to the FIFO
    const QString memo = w.LogMemo()->toPlainText();
    EXPECT_TRUE(memo.contains(QString::fromStdString(file.string() + ": Is a ")) &&
                (memo.contains("FIFO") || memo.contains("directory")))
        << memo.toStdString();
    EXPECT_EQ(Name(w.Blofeld(), 0), "Init");
  }
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
  EXPECT_EQ(w.Blofeld().CurrentIndex, 6);  // the highlighted row; shift extends the selection
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

  // Within a list: a swap, without a question, and the dropped sound's row
  // becomes current; onto its own row it flags it.
  const std::size_t asked = f.prompter.asked.size();
  emit w.BlofeldList()->RowDropped(w.BlofeldList(), 0);
  EXPECT_EQ(Name(w.Blofeld(), 0), "Pad 1");
  EXPECT_EQ(Name(w.Blofeld(), 128), "Init");
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 0);
  emit w.BlofeldList()->RowDropped(w.BlofeldList(), 0);
  EXPECT_EQ(Name(w.Blofeld(), 0), "Pad 1");
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
  f.prompter.openName = (f.dir / "three.syx").string();
  w.VirtualList()->SetCurrentRow(1022);
  OnNextDialog([](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Open Sounds Locator");
    EXPECT_EQ(d->findChild<QLabel*>("lblTotalSounds")->text(), "The file contain 3 sounds.");
    d->accept();
  });
  w.Action("actLoadVirtual")->trigger();
  EXPECT_TRUE(f.prompter.asked.empty());  // nothing changed, nothing to ask
  EXPECT_EQ(Name(w.Virtual(), 1022), "L1");
  EXPECT_EQ(Name(w.Virtual(), 0), "L3");
  EXPECT_EQ(w.findChild<QGroupBox*>("grpVirtual")->title(), "Virtual banks (three.syx)");

  // Cancelling the locator loads nothing.
  OnNextDialog([](QDialog* d) { d->reject(); });
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
  EXPECT_EQ(f.prompter.asked.back(), "The Blofeld banks have 1 changed sound. Save them first?");
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
  w.Blofeld().ClearSelection();
  for (int i : {3, 700}) {
    SetSoundName(w.Blofeld(), i, "Sent " + std::to_string(i));
    w.Blofeld().SetChanged(i);
    w.Blofeld().Select(i);
  }
  w.BlofeldList()->SyncSelectionFromSet();
  ASSERT_TRUE(w.Action("actSendSelected")->isEnabled());
  f.prompter.answers = {Answer::Yes};
  w.Action("actSendSelected")->trigger();
  EXPECT_EQ(f.prompter.asked.back(), "Send 2 sounds to the Blofeld, replacing A004, F061 there?");
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().Sound(700)) == "Sent 700"; }, 5000));
  EXPECT_EQ(TrimmedSoundName(w.Instrument().Sound(3)), "Sent 3");
  EXPECT_EQ(w.Instrument().Sound(4), untouched);  // unselected slots are not sent
  EXPECT_FALSE(w.Blofeld().Changed(3));
  EXPECT_FALSE(w.Blofeld().Changed(700));
  EXPECT_EQ(w.Instrument().Sound(700)[offs::kChecksum], ChecksumOf(w.Instrument().Sound(700)));
}

TEST(MainWindow, ABankReadStoresEverySoundWhenTheLogCannotBeWritten) {
  Fixture f("[Midi]\nMIDIDelay=0\n");
  std::filesystem::create_directory(f.dir / "blofeld.log");  // as unwritable as a full disk
  testing::internal::CaptureStderr();
  TfrmMain& w = f.Open();
  w.Action("actReadBankC")->trigger();
  const std::string err = testing::internal::GetCapturedStderr();
  for (int i = 256; i < 384; ++i) ASSERT_EQ(w.Blofeld().Sound(i), w.Instrument().Sound(i)) << i;
  const QString memo = w.LogMemo()->toPlainText();
  EXPECT_EQ(memo.count("Cannot write the log file"), 1) << memo.toStdString();
  EXPECT_EQ(QString::fromStdString(err).count("Cannot write the log file"), 1) << err;
  EXPECT_EQ(w.LogMemo()->horizontalScrollBar()->value(), 0);  // the short lines after the long note stay in sight
  if (const char* out = std::getenv("TARVIX_SCREENSHOT_DIR")) {
    QTest::qWait(100);
    w.LogMemo()->verticalScrollBar()->setValue(0);  // the note is near the top
    QTest::qWait(50);
    w.grab().save(QString(out) + "/files-log-unwritable.png");
  }
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

TEST(MainWindow, TheSelectedPartPlaysTheNotesAndTakesTheSelectedRowsSound) {
  Fixture f("[Midi]\nMIDIDelay=0\n");
  TfrmMain& w = f.Open();
  std::vector<std::vector<std::uint8_t>> wire;  // what leaves on the instrument's port
  w.Midi().SetTrace([&](bool out, std::span<const std::uint8_t> b) {
    if (out && b[0] != 0xF0) wire.emplace_back(b.begin(), b.end());
  });
  auto sent = [&](std::vector<std::uint8_t> m) { return std::find(wire.begin(), wire.end(), m) != wire.end(); };
  QTreeWidget* tree = w.PartsTree();
  ASSERT_TRUE(tree->isEnabled());
  ASSERT_EQ(tree->topLevelItemCount(), 1);  // single mode: part 1 only

  // No global data from the instrument yet, and it stays silent: the switch
  // asks for them, and without an answer nothing changes and the user is told.
  auto* multi = w.findChild<QCheckBox*>("chbMultiMode");
  w.Dispatcher().Globals = GlobalData{};
  w.Instrument().InjectFault(VirtualInstrument::kGlobalKey, {VirtualInstrument::FaultKind::Drop, 0, 0, false});
  f.prompter.asked.clear();
  QTest::mouseClick(multi, Qt::LeftButton, {}, QPoint(8, multi->height() / 2));  // returns when the wait is over
  EXPECT_FALSE(multi->isChecked());
  EXPECT_EQ(tree->topLevelItemCount(), 1);
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_NE(f.prompter.asked[0].find("did not send its global data"), std::string::npos) << f.prompter.asked[0];
  EXPECT_FALSE(w.Instrument().Global().MultiMode());

  // Answered: the global data come first, then the switch; the instrument
  // hears it and the tree shows sixteen parts.
  w.Instrument().ClearFaults();
  f.prompter.asked.clear();
  QTest::mouseClick(multi, Qt::LeftButton, {}, QPoint(8, multi->height() / 2));
  EXPECT_TRUE(multi->isChecked());
  ASSERT_EQ(tree->topLevelItemCount(), 16);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.Instrument().Global().MultiMode(); }, 2000));
  EXPECT_TRUE(f.prompter.asked.empty());
  // The receive dialog has gone; the main window is in front again.
  QApplication::setActiveWindow(&w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  // Part 3 chosen by a click; a note key plays on channel 3 (status 92/82).
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(2)).center());
  ASSERT_EQ(tree->currentItem(), tree->topLevelItem(2));
  QTest::keyPress(tree, Qt::Key_D, Qt::NoModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent({0x92, 64, 127}); }, 2000));
  QTest::keyRelease(tree, Qt::Key_D, Qt::NoModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent({0x82, 64, 0}); }, 2000));
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(2));  // the letter did not move the selection

  // Clicking B003 auditions it on that channel (C2 02: two bytes, nothing
  // more) and makes it part 3's sound.
  wire.clear();
  BankListView* lv = w.BlofeldList();
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, RowPoint(lv, 130));
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent({0xC2, 0x02}); }, 2000));
  EXPECT_TRUE(sent({0xB2, 0x00, 0x01}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return tree->topLevelItem(2)->text(0).startsWith("Part 03  -  B003 "); }, 2000))
      << tree->topLevelItem(2)->text(0).toStdString();
  EXPECT_EQ(tree->topLevelItem(2)->text(0).toStdString(), "Part 03  -  B003 " + GetSoundName(w.Blofeld(), 130));
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(2));
  EXPECT_TRUE(tree->topLevelItem(1)->text(0).startsWith("Part 02  -  A002 "));  // other parts keep theirs

  // Off again: one part, channel 1.
  QTest::mouseClick(multi, Qt::LeftButton, {}, QPoint(8, multi->height() / 2));
  EXPECT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(w.KeyboardChannel(), 0);
  w.Midi().SetTrace(nullptr);
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

std::string FileText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A settings file naming an autoload file of three sounds (A001..A003), with
// a key of the user's own that must survive every close.
std::string AutoloadSettings(Fixture& f, const std::string& more = "") {
  test::WriteSounds(f.dir / "auto.syx", {MakeSound("Auto0", 1, 0, 0), MakeSound("Auto1", 1, 0, 1), MakeSound("Auto2", 1, 0, 2)});
  const std::string text = "[Globals]\nAutoloadfile=" + (f.dir / "auto.syx").string() + "\nMyOwnKey=kept\n" + more;
  std::ofstream(f.dir / kSettingsFileName) << text;
  return text;
}

TEST(MainWindow, ClosingWithChangedSoundsAsksFirstAndCancelKeepsEverything) {
  Fixture f;
  const std::string settings = AutoloadSettings(f);
  TfrmMain& w = f.Open();
  const std::string autoload = (f.dir / "auto.syx").string();
  // The user moves 40 Virtual sounds up one row: 41 rows change.
  BankListView* lv = w.VirtualList();
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, RowPoint(lv, 10));
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowPoint(lv, 49));
  QTest::keyClick(lv, Qt::Key_Slash, Qt::ControlModifier | Qt::KeypadModifier);
  int changed = 0;
  for (int i = 0; i < kSlotCount; ++i) changed += w.Virtual().Changed(i);
  ASSERT_GE(changed, 40);
  const auto autoBytes = test::ReadAll(autoload);

  // Cancel at the Virtual question: the window stays, nothing is written.
  f.prompter.answers = {Answer::No, Answer::Cancel};
  w.Action("actExit")->trigger();
  EXPECT_EQ(f.prompter.asked, (std::vector<std::string>{
                                  "Do you want to save changes to autoload file (" + autoload + ") ?",
                                  "The Virtual banks have " + std::to_string(changed) +
                                      " changed sounds. Save them before closing?"}));
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(FileText(f.dir / kSettingsFileName), settings);
  EXPECT_EQ(test::ReadAll(autoload), autoBytes);

  // Save, but the file dialog is cancelled: still open, still nothing written.
  f.prompter.asked.clear();
  f.prompter.answers = {Answer::Yes, Answer::Yes};
  w.close();
  EXPECT_EQ(f.prompter.asked.size(), 2u);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(FileText(f.dir / kSettingsFileName), settings);
  EXPECT_EQ(test::ReadAll(autoload), autoBytes);

  // Save both: the autoload file gets all 1024 slots, the Virtual banks the
  // chosen file, and the settings keep the user's own key.
  f.prompter.asked.clear();
  f.prompter.answers = {Answer::Yes, Answer::Yes};
  f.prompter.saveName = (f.dir / "virtual.syx").string();
  w.close();
  EXPECT_EQ(f.prompter.asked.size(), 2u);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(ReadSoundRecords(autoload).size(), 1024u);
  const auto saved = ReadSoundRecords(f.dir / "virtual.syx");
  ASSERT_EQ(saved.size(), 1024u);
  EXPECT_EQ(saved[49], w.Virtual().Sound(49));
  EXPECT_NE(FileText(f.dir / kSettingsFileName).find("MyOwnKey=kept\n"), std::string::npos);
}

TEST(MainWindow, AnAutoloadFileNotReadWholeIsNeverWrittenBack) {
  struct Case {
    const char* what;
    std::string moreSettings;
    bool badRecord;
  };
  for (const Case& c : {Case{"bad settings value", "ToleranceOctave=300\n", false},
                        Case{"record naming no slot", "", true}}) {
    Fixture f;
    const std::string settings = AutoloadSettings(f, c.moreSettings);
    const auto autoload = f.dir / "auto.syx";
    if (c.badRecord) {
      test::WriteSounds(autoload, {MakeSound("Auto0", 1, 0, 0), MakeSound("Buffer", 1, 0x7F, 0), MakeSound("Lost", 1, 0, 2)});
    }
    const auto autoBytes = test::ReadAll(autoload);
    TfrmMain& w = f.Open();
    EXPECT_EQ(Name(w.Blofeld(), 0), c.badRecord ? "Auto0" : "Init") << c.what;
    f.prompter.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    w.close();
    EXPECT_TRUE(f.prompter.asked.empty()) << c.what;
    EXPECT_FALSE(w.isVisible()) << c.what;
    EXPECT_EQ(test::ReadAll(autoload), autoBytes) << c.what;
    const std::string log = FileText(f.dir / "blofeld.log");
    EXPECT_NE(log.find("not offered for the autoload file " + autoload.string()), std::string::npos) << log;
    // What could not be read stays in the settings file for the user to mend.
    if (!c.moreSettings.empty()) {
      EXPECT_NE(FileText(f.dir / kSettingsFileName).find(c.moreSettings), std::string::npos) << c.what;
    }
  }
}

TEST(MainWindow, LoadAndNewEmptyAskOnlyAboutChangedSoundsAndCancelStopsThem) {
  Fixture f;
  TfrmMain& w = f.Open();
  test::WriteSounds(f.dir / "one.syx", {MakeSound("Loaded", 1)});
  f.prompter.openName = (f.dir / "one.syx").string();
  SetSoundName(w.Virtual(), 0, "Mine");
  w.Virtual().SetChanged(0);
  const std::string q = "The Virtual banks have 1 changed sound. Save them first?";

  // Cancel at the question, or Save with the file dialog cancelled: no load.
  for (Answer a : {Answer::Cancel, Answer::Yes}) {
    f.prompter.answers = {a};
    QTest::mouseClick(w.findChild<QPushButton*>("btnLoad2"), Qt::LeftButton);
    EXPECT_EQ(f.prompter.asked.back(), q);
    EXPECT_EQ(Name(w.Virtual(), 0), "Mine");
    f.prompter.answers = {a};
    w.Action("actNewEmptyVirtual")->trigger();
    EXPECT_EQ(Name(w.Virtual(), 0), "Mine");
  }
  EXPECT_EQ(f.prompter.asked.size(), 4u);
  // Save with a file: the set is saved whole, then the load goes on.
  f.prompter.answers = {Answer::Yes};
  f.prompter.saveName = (f.dir / "before.syx").string();
  OnNextDialog([](QDialog* d) { d->accept(); });
  QTest::mouseClick(w.findChild<QPushButton*>("btnLoad2"), Qt::LeftButton);
  EXPECT_EQ(TrimmedSoundName(ReadSoundRecords(f.dir / "before.syx").at(0)), "Mine");
  EXPECT_EQ(Name(w.Virtual(), 0), "Loaded");
  // Once "Save All" has written the set, only a later change is asked about.
  SetSoundName(w.Virtual(), 5, "Kept");
  w.Virtual().SetChanged(5);
  f.prompter.answers = {Answer::Yes};  // replace before.syx
  QTest::mouseClick(w.findChild<QPushButton*>("btnSaveAll2"), Qt::LeftButton);
  SetSoundName(w.Virtual(), 5, "Changed again");
  f.prompter.answers = {Answer::Cancel};
  w.Action("actNewEmptyVirtual")->trigger();
  EXPECT_EQ(f.prompter.asked.back(), q);
  EXPECT_EQ(Name(w.Virtual(), 5), "Changed again");
  SetSoundName(w.Virtual(), 5, "Kept");
  const std::size_t afterSave = f.prompter.asked.size();
  w.Action("actNewEmptyVirtual")->trigger();
  EXPECT_EQ(f.prompter.asked.size(), afterSave);
  EXPECT_EQ(Name(w.Virtual(), 5), "Init");
}

// The questions as the user sees them: real message boxes, answered with
// real clicks. Pictures for the docs when TARVIX_SCREENSHOT_DIR is set.
TEST(MainWindow, UnsavedWorkQuestionsOfferSaveDiscardAndCancel) {
  Fixture f;
  f.messageBoxes = true;
  TfrmMain& w = f.Open();
  for (int i = 0; i < 40; ++i) w.Virtual().SetChanged(100 + i);
  w.RebuildList(w.Virtual());
  w.VirtualList()->scrollTo(w.VirtualList()->model()->index(95, 0), QAbstractItemView::PositionAtTop);
  const char* shots = std::getenv("TARVIX_SCREENSHOT_DIR");
  auto answer = [&](TfrmMain* win, const char* shot, QMessageBox::StandardButton button, QString* text) {
    OnNextDialog([=](QDialog* d) {
      auto* box = qobject_cast<QMessageBox*>(d);
      ASSERT_NE(box, nullptr);
      *text = box->text();
      EXPECT_EQ(box->standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Save));
      if (shots) {
        QTest::qWait(50);
        QImage picture(win->size(), QImage::Format_RGB32);
        win->render(&picture);
        QPainter p(&picture);
        const QPoint at((win->width() - box->width()) / 2, (win->height() - box->height()) / 2);
        box->render(&p, at);
        p.drawRect(QRect(at, box->size()).adjusted(-1, -1, 0, 0));
        p.end();
        picture.save(QString::fromLocal8Bit(shots) + "/" + shot);
      }
      QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
  };
  QString text;
  answer(&w, "close-question.png", QMessageBox::Cancel, &text);
  w.close();
  EXPECT_EQ(text, "The Virtual banks have 40 changed sounds. Save them before closing?");
  EXPECT_TRUE(w.isVisible());

  answer(&w, "close-load-question.png", QMessageBox::Cancel, &text);
  QTest::mouseClick(w.findChild<QPushButton*>("btnLoad2"), Qt::LeftButton);
  EXPECT_EQ(text, "The Virtual banks have 40 changed sounds. Save them first?");

  answer(&w, "close-discard.png", QMessageBox::Discard, &text);
  w.close();
  EXPECT_FALSE(w.isVisible());
  f.window.reset();

  // With an autoload file, changed Blofeld sounds are asked about once,
  // offering that file.
  Fixture g;
  g.messageBoxes = true;
  AutoloadSettings(g);
  TfrmMain& w2 = g.Open();
  for (int i : {0, 1, 2}) w2.Blofeld().SetChanged(i);
  w2.RebuildList(w2.Blofeld());
  answer(&w2, "close-autoload-question.png", QMessageBox::Cancel, &text);
  w2.close();
  EXPECT_EQ(text.toStdString(), "The Blofeld banks have 3 changed sounds. Save them to the autoload file (" +
                                    (g.dir / "auto.syx").string() + ") before closing?");
  EXPECT_TRUE(w2.isVisible());
}

TEST(MainWindow, DefaultSizeShowsTheStatusColumnAndEveryCheckBoxWhole) {
  Fixture f;
  TfrmMain& w = f.Open();
  w.Blofeld().SetChanged(0);
  QTest::qWait(20);
  EXPECT_EQ(w.height(), 606);
  EXPECT_GE(w.width(), 872);
  for (BankListView* lv : {w.BlofeldList(), w.VirtualList()}) {
    const QHeaderView* h = lv->horizontalHeader();
    const int need = std::max(lv->fontMetrics().horizontalAdvance("Changed"),
                              h->fontMetrics().horizontalAdvance("Status")) + 8;
    EXPECT_GE(h->sectionSize(3), need) << lv->objectName().toStdString();
    EXPECT_LE(h->sectionViewportPosition(3) + h->sectionSize(3), lv->viewport()->width())
        << lv->objectName().toStdString();
    EXPECT_GE(h->sectionSize(1), lv->fontMetrics().horizontalAdvance("Dusty Strings 12"));
  }
  for (QCheckBox* c : w.findChildren<QCheckBox*>()) {
    if (!c->isVisibleTo(&w)) continue;
    EXPECT_GE(c->width(), c->sizeHint().width()) << c->objectName().toStdString();
    EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << c->objectName().toStdString();
  }
  if (const char* out = std::getenv("TARVIX_SCREENSHOT_DIR"))
    w.grab().save(QString::fromLocal8Bit(out) + "/close-default-size.png");
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
