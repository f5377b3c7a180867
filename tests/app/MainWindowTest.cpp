// The main window driven by real keys and clicks: its lists, its files, the
// questions before work is lost, and its transfers with the instrument.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTextBlock>
#include <QToolButton>
#include <QTreeWidget>
#include <mutex>

#include "library/SoundFile.h"
#include "midi/MidiDriver.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/TfrmSysExReceiver.h"
#include "tests/app/AppTest.h"
#include "tests/support/QtTestMain.h"
#include "tools/TfrmLocker.h"
#include "tools/TfrmMorph.h"

namespace tarvix {
namespace {

using namespace test;

std::string FileText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// An autoload file of three sounds at B001..B003, and a key of the user's own that every close keeps.
std::string AutoloadSettings(AppFixture& f, const std::string& more = "") {
  WriteSounds(f.dir / "auto.syx",
              {MakeSound("Auto0", 2, 1, 0), MakeSound("Auto1", 2, 1, 1), MakeSound("Auto2", 2, 1, 2)});
  const std::string text = "[Globals]\nAutoloadfile=" + (f.dir / "auto.syx").string() + "\nMyOwnKey=kept\n" + more;
  std::ofstream(f.dir / kSettingsFileName) << text;
  return text;
}

TEST(MainWindow, StartsWithTheAutoloadFileAndAsksAboutItAtClose) {
  AppFixture f("");
  AutoloadSettings(f, "SendToEditBuffer=1\n");
  TfrmMain& w = f.Open();
  QAbstractItemModelTester tester(w.BlofeldList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(Names(w.Blofeld(), {128, 0}), (std::vector<std::string>{"Auto0", "Init"}));  // own positions: B001
  EXPECT_EQ(w.findChild<QGroupBox*>("grpBlofeld")->title(), "Blofeld banks (auto.syx)");
  EXPECT_TRUE(w.findChild<QCheckBox*>("chbSendToEditBuffer")->isChecked());
  EXPECT_TRUE(w.Action("actSaveAllBlofeld")->isEnabled());
  const auto model = w.BlofeldList()->model();
  EXPECT_EQ(model->data(model->index(129, 0)).toString() + model->data(model->index(129, 2)).toString(), "B002Atmo");

  SetSoundName(w.Blofeld(), 3, "Edited");
  f.prompter.answers = {Answer::Yes};
  w.close();
  EXPECT_EQ(f.prompter.asked, std::vector<std::string>{"Do you want to save changes to autoload file (" +
                                                       (f.dir / "auto.syx").string() + ") ?"});
  EXPECT_EQ(TrimmedSoundName(ReadSoundRecords(f.dir / "auto.syx").at(3)), "Edited");
}

TEST(MainWindow, WithoutSettingsFileUsesDefaultsAndLogsToFileAndMemo) {
  AppFixture f("");
  TfrmMain& w = f.Open();
  for (int i = 0; i < 1001; ++i) w.LogMessage("line " + std::to_string(i));
  QPlainTextEdit* memo = w.LogMemo();
  EXPECT_EQ(memo->document()->blockCount(), 1000);
  EXPECT_EQ(memo->document()->lastBlock().text(), "line 1000");
  QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  // A failing command is logged and the program carries on.
  w.Guard([] { throw std::runtime_error("boom"); });
  EXPECT_EQ(memo->document()->lastBlock().text(), "boom");
  w.close();
  EXPECT_TRUE(f.prompter.asked.empty());
  EXPECT_TRUE(std::filesystem::exists(f.dir / kSettingsFileName));
}

TEST(MainWindow, ClicksKeysRightClicksAndDropsWorkOnTheRightList) {
  AppFixture f;
  TfrmMain& w = f.OpenNamed();
  BankListView* lv = w.BlofeldList();

  // Keypad plus steps the Blofeld current row up to the last; * and / step the Virtual one.
  w.Blofeld().CurrentIndex = 1022;
  QTest::keyClick(lv, Qt::Key_Plus, Qt::KeypadModifier);
  QTest::keyClick(lv, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 1023);
  QTest::keyClick(lv, Qt::Key_Asterisk, Qt::KeypadModifier);
  EXPECT_EQ(w.VirtualList()->CurrentRow(), 1);
  QTest::keyClick(lv, Qt::Key_Slash, Qt::KeypadModifier);
  QTest::keyClick(lv, Qt::Key_Slash, Qt::KeypadModifier);
  EXPECT_EQ(w.Virtual().CurrentIndex, 0);

  // Ctrl+right-click moves the selection to the row; a right-click renames.
  ClickRow(lv, 9);
  ClickRow(lv, 11, Qt::ShiftModifier);
  ClickRow(lv, 49, Qt::ControlModifier, Qt::RightButton);
  EXPECT_EQ(Names(w.Blofeld(), {47, 49}), (std::vector<std::string>{"b9", "b11"}));
  EXPECT_TRUE(lv->selectionModel()->isRowSelected(49, {}));

  // Blofeld rename: the name field is trimmed; OK stores name and category.
  SetSoundName(w.Blofeld(), 20, "  Pad ");
  OnNextDialog([](QDialog* d) {
    auto* name = d->findChild<QLineEdit*>("edtName");
    EXPECT_EQ(name->text(), "Pad");
    name->setText("");
    d->findChild<QComboBox*>("cmbCategory")->setCurrentIndex(9);
    d->accept();
  });
  ClickRow(lv, 20, {}, Qt::RightButton);
  EXPECT_EQ(GetSoundName(w.Blofeld(), 20), std::string(16, ' '));
  EXPECT_EQ(GetCategory(w.Blofeld(), 20), 9);
  EXPECT_EQ(lv->model()->data(lv->model()->index(20, 3)).toString(), "Changed");

  // Virtual rename keeps the untrimmed name; cancelling changes nothing.
  SetSoundName(w.Virtual(), 3, "Keys");
  OnNextDialog([](QDialog* d) {
    EXPECT_EQ(d->findChild<QLineEdit*>("edtName")->text(), "Keys            ");
    d->reject();
  });
  ClickRow(w.VirtualList(), 3, {}, Qt::RightButton);
  EXPECT_FALSE(w.Virtual().Changed(3));

  // Drops copy between lists after asking, each way with its own question.
  SetSoundName(w.Virtual(), 2, "Pad 1");
  w.VirtualList()->SetCurrentRow(2);
  f.prompter.answers = {Answer::Yes};
  emit w.BlofeldList()->RowDropped(w.VirtualList(), 128);
  f.prompter.answers = {Answer::Yes};
  emit w.VirtualList()->RowDropped(w.BlofeldList(), 7);
  EXPECT_EQ(f.prompter.asked, (std::vector<std::string>{"Do you want to overwrite \"b128\" with2 \"Pad 1\" ?",
                                                         "Do you want to overwrite \"v7\" with \"Pad 1\" ?"}));
  EXPECT_EQ(Name(w.Virtual(), 7), "Pad 1");
}

// At its default size every column and check box shows whole.
TEST(MainWindow, DefaultSizeFindAndLoad) {
  AppFixture f;
  TfrmMain& w = f.Open();
  w.Blofeld().SetChanged(0);
  QTest::qWait(20);
  for (BankListView* lv : {w.BlofeldList(), w.VirtualList()}) {
    SCOPED_TRACE(lv->objectName().toStdString());
    const QHeaderView* h = lv->horizontalHeader();
    const int need = std::max(lv->fontMetrics().horizontalAdvance("Changed"),
                              h->fontMetrics().horizontalAdvance("Status")) + 8;
    EXPECT_GE(h->sectionSize(3), need);
    EXPECT_LE(h->sectionViewportPosition(3) + h->sectionSize(3), lv->viewport()->width());
    EXPECT_GE(h->sectionSize(1), lv->fontMetrics().horizontalAdvance("Dusty Strings 12"));
  }
  for (QCheckBox* c : w.findChildren<QCheckBox*>()) {
    if (!c->isVisibleTo(&w)) continue;
    EXPECT_GE(c->width(), c->sizeHint().width()) << c->objectName().toStdString();
    EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << c->objectName().toStdString();
  }

  SetSoundName(w.Blofeld(), 300, "Warm Pad");
  SetSoundName(w.Virtual(), 17, "Pad Virtual");
  OnNextDialog([](QDialog* d) {
    d->findChild<QLineEdit*>()->setText("Pad");
    d->accept();
  });
  w.Action("actFindBlofeld")->trigger();
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 300);
  w.Action("actSearchAgainVirtual")->trigger();
  EXPECT_EQ(w.Virtual().CurrentIndex, 17);
  OnNextDialog([](QDialog* d) { d->reject(); });  // Cancel changes nothing
  w.Action("actFindVirtual")->trigger();
  EXPECT_EQ(w.Search().text, "Pad");

  WriteSounds(f.dir / "three.syx", {MakeSound("L1", 1), MakeSound("L2", 1), MakeSound("L3", 1)});
  f.prompter.openName = (f.dir / "three.syx").string();
  w.VirtualList()->SetCurrentRow(1022);
  OnNextDialog([](QDialog* d) {
    EXPECT_EQ(d->findChild<QLabel*>("lblTotalSounds")->text(), "The file contain 3 sounds.");
    d->accept();
  });
  w.Action("actLoadVirtual")->trigger();
  EXPECT_EQ(Names(w.Virtual(), {1022, 0}), (std::vector<std::string>{"L1", "L3"}));
  EXPECT_EQ(w.findChild<QGroupBox*>("grpVirtual")->title(), "Virtual banks (three.syx)");

  OnNextDialog([](QDialog* d) { d->reject(); });
  w.Action("actLoadBlofeld")->trigger();
  EXPECT_EQ(Name(w.Blofeld(), 0), "Init");

  f.prompter.saveName = (f.dir / "all.syx").string();
  w.Action("actSaveAllVirtual")->trigger();
  EXPECT_EQ(w.VirtualList()->selectionModel()->selectedRows().size(), kSlotCount);
}

TEST(MainWindow, TheSelectedPartPlaysTheNotesAndTakesTheSelectedRowsSound) {
  AppFixture f;
  TfrmMain& w = f.Open();
  std::vector<std::vector<std::uint8_t>> wire;  // what leaves on the instrument's port
  w.Midi().SetTrace([&](bool out, std::span<const std::uint8_t> b) {
    if (out && b[0] != 0xF0) wire.emplace_back(b.begin(), b.end());
  });
  auto sent = [&](std::vector<std::uint8_t> m) { return std::find(wire.begin(), wire.end(), m) != wire.end(); };
  QTreeWidget* tree = w.PartsTree();

  // Multi mode needs the global data first; a silent instrument changes nothing.
  auto* multi = w.findChild<QCheckBox*>("chbMultiMode");
  w.Dispatcher().Globals = GlobalData{};
  w.Instrument().InjectFault(VirtualInstrument::kGlobalKey, {VirtualInstrument::FaultKind::Drop, 0, 0, false});
  f.prompter.asked.clear();
  QTest::mouseClick(multi, Qt::LeftButton, {}, QPoint(8, multi->height() / 2));  // returns when the wait is over
  EXPECT_FALSE(multi->isChecked());
  EXPECT_EQ(tree->topLevelItemCount(), 1);  // single mode: part 1 only
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_NE(f.prompter.asked[0].find("did not send its global data"), std::string::npos) << f.prompter.asked[0];

  w.Instrument().ClearFaults();
  QTest::mouseClick(multi, Qt::LeftButton, {}, QPoint(8, multi->height() / 2));
  ASSERT_EQ(tree->topLevelItemCount(), 16);
  EXPECT_EQ(f.prompter.asked.size(), 1u);  // no new question
  QApplication::setActiveWindow(&w);  // the receive dialog has gone
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  // Part 3 chosen by a click; a note key plays on channel 3 (status 92/82).
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(2)).center());
  QTest::keyPress(tree, Qt::Key_D, Qt::NoModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent({0x92, 64, 127}); }, 2000));
  QTest::keyRelease(tree, Qt::Key_D, Qt::NoModifier);

  // Clicking B003 auditions it on that channel and makes it part 3's sound.
  wire.clear();
  ClickRow(w.BlofeldList(), 130);
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent({0xC2, 0x02}); }, 2000));
  const QString title = QString::fromStdString("Part 03  -  B003 " + GetSoundName(w.Blofeld(), 130));
  EXPECT_TRUE(QTest::qWaitFor([&] { return tree->topLevelItem(2)->text(0) == title; }, 2000))
      << tree->topLevelItem(2)->text(0).toStdString();
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(2));
  w.Midi().SetTrace(nullptr);
}

TEST(MainWindow, LockerAndMorphAuditionOnTheInstrument) {
  AppFixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < 3; ++i) w.Blofeld().Sound(i) = w.Instrument().Sound(i + 10);
  constexpr int kCutoff = 85;  // filter 1 cutoff: in an unlocked group and blended by the morph
  w.Blofeld().Sound(1)[kCutoff] = 17;
  w.Blofeld().Sound(2)[kCutoff] = 99;

  // Locker: with every group unlocked, "Next Sound" (A 2) takes A 2's groups.
  auto cutoffSent = [&](int value) {
    return QTest::qWaitFor([&] { return w.Instrument().EditBuffer()[kCutoff] == value; }, 3000);
  };
  bool lockerSent = false;
  auto lockerPoll = OnModal<TfrmLocker>([&](TfrmLocker* locker) {
    locker->findChild<QPushButton*>("btnNextSound")->click();
    lockerSent = cutoffSent(17);
    locker->reject();
  });
  w.Action("actLocker")->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return lockerSent; }, 8000));

  // Morph: A 1 to A 3 at 100 % sends the third sound's cutoff.
  bool morphSent = false;
  auto morphPoll = OnModal<TfrmMorph>([&](TfrmMorph* morph) {
    morph->findChild<QComboBox*>("cmbSound1")->setCurrentIndex(0);
    morph->findChild<QComboBox*>("cmbSound2")->setCurrentIndex(2);
    morph->findChild<QSlider*>("trbMorph")->setValue(100);
    morphSent = cutoffSent(99);
    morph->reject();
  });
  w.Action("actQuasiMorph")->trigger();
  EXPECT_TRUE(morphSent);
}

TEST(MainWindow, ClosingWithChangedSoundsAsksFirstAndCancelKeepsEverything) {
  AppFixture f;
  const std::string settings = AutoloadSettings(f);
  TfrmMain& w = f.Open();
  const std::string autoload = (f.dir / "auto.syx").string();
  BankListView* lv = w.VirtualList();
  ClickRow(lv, 10);
  ClickRow(lv, 49, Qt::ShiftModifier);
  QTest::keyClick(lv, Qt::Key_Slash, Qt::ControlModifier | Qt::KeypadModifier);
  int changed = 0;
  for (int i = 0; i < kSlotCount; ++i) changed += w.Virtual().Changed(i);
  ASSERT_GE(changed, 40);
  w.Blofeld().SetChanged(0);
  const auto autoBytes = ReadAll(autoload);
  auto nothingWritten = [&] {
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(FileText(f.dir / kSettingsFileName), settings);
    EXPECT_EQ(ReadAll(autoload), autoBytes);
  };

  // Cancel at the Virtual question: the window stays, nothing is written.
  f.prompter.answers = {Answer::No, Answer::Cancel};
  w.Action("actExit")->trigger();
  EXPECT_EQ(f.prompter.asked, (std::vector<std::string>{
                                  "The Blofeld banks have 1 changed sound. Save them to the autoload file (" +
                                      autoload + ") before closing?",
                                  "The Virtual banks have " + std::to_string(changed) +
                                      " changed sounds. Save them before closing?"}));
  nothingWritten();

  // Save, but the file dialog is cancelled: still open, still nothing written.
  f.prompter.asked.clear();
  f.prompter.answers = {Answer::Yes, Answer::Yes};
  w.close();
  EXPECT_EQ(f.prompter.asked.size(), 2u);
  nothingWritten();

  f.prompter.asked.clear();
  f.prompter.answers = {Answer::Yes, Answer::Yes};
  f.prompter.saveName = (f.dir / "virtual.syx").string();
  w.close();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(ReadSoundRecords(f.dir / "virtual.syx").at(49), w.Virtual().Sound(49));
}

TEST(MainWindow, AnAutoloadFileNotReadWholeIsNeverWrittenBack) {
  for (const bool badRecord : {false, true}) {
    SCOPED_TRACE(badRecord ? "record naming no slot" : "bad settings value");
    AppFixture f;
    const std::string more = badRecord ? "" : "ToleranceOctave=300\n";
    AutoloadSettings(f, more);
    const auto autoload = f.dir / "auto.syx";
    if (badRecord)
      WriteSounds(autoload, {MakeSound("Auto0", 1, 1, 0), MakeSound("Buffer", 1, 0x7F, 0), MakeSound("Lost", 1, 1, 2)});
    const auto autoBytes = ReadAll(autoload);
    TfrmMain& w = f.Open();
    EXPECT_EQ(Name(w.Blofeld(), 128), badRecord ? "Auto0" : "Init");
    f.prompter.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    w.close();
    EXPECT_TRUE(f.prompter.asked.empty());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ReadAll(autoload), autoBytes);
    const std::string log = FileText(f.dir / "blofeld.log");
    EXPECT_NE(log.find("not offered for the autoload file " + autoload.string()), std::string::npos) << log;
    // What could not be read stays in the settings file for the user to mend.
    EXPECT_NE(FileText(f.dir / kSettingsFileName).find(more), std::string::npos);
  }
}

TEST(MainWindow, LoadAndNewEmptyAskOnlyAboutChangedSoundsAndCancelStopsThem) {
  AppFixture f;
  TfrmMain& w = f.Open();
  WriteSounds(f.dir / "one.syx", {MakeSound("Loaded", 1)});
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
  EXPECT_EQ(Name(w.Virtual(), 5), "Changed again");
  SetSoundName(w.Virtual(), 5, "Kept");
  const std::size_t afterSave = f.prompter.asked.size();
  w.Action("actNewEmptyVirtual")->trigger();
  EXPECT_EQ(f.prompter.asked.size(), afterSave);
  EXPECT_EQ(Name(w.Virtual(), 5), "Init");
  // Discarding refills the Blofeld banks from the init sound.
  SetSoundName(w.Blofeld(), 7, "Gone");
  w.Blofeld().SetChanged(7);
  f.prompter.answers = {Answer::No};
  w.Action("actNewEmptyBlofeld")->trigger();
  EXPECT_EQ(f.prompter.asked.back(), "The Blofeld banks have 1 changed sound. Save them first?");
  EXPECT_EQ(Name(w.Blofeld(), 7), "Init");
}

// Real message boxes, answered with real clicks.
TEST(MainWindow, UnsavedWorkQuestionsOfferSaveDiscardAndCancel) {
  QString text;
  auto answer = [&text](QMessageBox::StandardButton button) {
    OnNextDialog([&text, button](QDialog* d) {
      auto* box = qobject_cast<QMessageBox*>(d);
      ASSERT_NE(box, nullptr);
      text = box->text();
      EXPECT_EQ(box->standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Save));
      QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
  };
  AppFixture f("");
  f.messageBoxes = true;
  TfrmMain& w = f.Open();
  for (int i = 0; i < 40; ++i) w.Virtual().SetChanged(100 + i);
  w.RebuildList(w.Virtual());
  answer(QMessageBox::Cancel);
  w.close();
  EXPECT_EQ(text, "The Virtual banks have 40 changed sounds. Save them before closing?");
  EXPECT_TRUE(w.isVisible());
  answer(QMessageBox::Discard);
  w.close();
  EXPECT_FALSE(w.isVisible());
}


TEST(MainWindowRows, CopyPasteAndMovesActOnTheHighlightedRow) {
  AppFixture f;
  TfrmMain& w = f.OpenNamed();
  BankListView* lv = w.BlofeldList();
  ClickRow(lv, 30);  // A031
  w.Action("actPasteSound")->trigger();  // empty clipboard: nothing
  EXPECT_FALSE(w.Blofeld().Changed(30));
  QTest::keyClick(lv, Qt::Key_C, Qt::ControlModifier);

  // From the menu, paste goes to the list last worked in.
  ClickRow(w.VirtualList(), 7);
  w.LogMemo()->setFocus();
  w.Action("actPasteSound")->trigger();
  EXPECT_EQ(Name(w.Virtual(), 7), "b30");

  // A move step takes the selection with the sound.
  ClickRow(lv, 10);
  auto* down = w.findChild<QToolButton*>("btnDownSound");
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(Name(w.Blofeld(), 12), "b10");
  EXPECT_EQ(SelectedRows(lv), std::vector<int>{12});

  // A block moved up with Ctrl+keypad minus: the current row inside it follows.
  ClickRow(lv, 40);
  ClickRow(lv, 42, Qt::ShiftModifier);
  QTest::keyClick(lv, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(lv->CurrentRow(), 41);
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{39, 40, 41}));

  w.Action("actSelectAllChangedVirtual")->trigger();
  EXPECT_EQ(SelectedRows(w.VirtualList()), std::vector<int>{7});
  // Sorting with one row selected asks "Sort all?".
  f.prompter.answers = {Answer::Yes};
  w.Action("actOrderVirtualByName")->trigger();
  EXPECT_EQ(Names(w.Virtual(), {0, 1}), (std::vector<std::string>{"b30", "v0"}));
  EXPECT_EQ(w.VirtualList()->selectionModel()->selectedRows().size(), kSlotCount);
}

TEST(MainWindowRows, SendFollowsTheSelectionAndAsksBeforeReplacing) {
  AppFixture f;
  TfrmMain& w = f.OpenNamed();
  BankListView* lv = w.BlofeldList();
  QAction* send = w.Action("actSendSelected");
  auto* sendButton = w.findChild<QWidget*>("btnSendToBlo");
  ClickRow(lv, 3);
  EXPECT_TRUE(send->isEnabled() && sendButton->isEnabled());
  ClickRow(lv, 3, Qt::ControlModifier);  // deselects the only row
  EXPECT_FALSE(send->isEnabled() || sendButton->isEnabled());
  QTest::keyClick(lv, Qt::Key_Return);  // Enter with nothing selected sends nothing
  EXPECT_TRUE(f.prompter.asked.empty());

  // A program change of the selection counts as much as a click.
  for (int i = 0; i < 16; ++i) w.Blofeld().SetChanged(i);
  w.Action("actSelectAllChanged")->trigger();
  EXPECT_TRUE(send->isEnabled() && sendButton->isEnabled());

  const SoundData before = w.Instrument().Sound(5);
  f.prompter.answers = {Answer::No};
  QTest::keyClick(lv, Qt::Key_Return);
  EXPECT_EQ(f.prompter.asked,
            std::vector<std::string>{"Send 16 sounds to the Blofeld, replacing A001\u2013A016 there?"});
  QTest::qWait(100);
  EXPECT_EQ(w.Instrument().Sound(5), before);  // "No" sent nothing

  // "Yes" sends the rows selected with a click and a Ctrl+click.
  SetSoundName(w.Blofeld(), 700, "Mine 700");
  ClickRow(lv, 3);
  ClickRow(lv, 700, Qt::ControlModifier);
  f.prompter.answers = {Answer::Yes};
  QTest::keyClick(lv, Qt::Key_Return);
  EXPECT_EQ(f.prompter.asked.back(), "Send 2 sounds to the Blofeld, replacing A004, F061 there?");
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().Sound(700)) == "Mine 700"; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  QApplication::setActiveWindow(&w);

  // One sound goes without a question.
  ClickRow(lv, 701);
  f.prompter.asked.clear();
  QTest::keyClick(lv, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().Sound(701)) == "b701"; }, 5000));
  EXPECT_TRUE(f.prompter.asked.empty());
}

TEST(MainWindowRows, ARefreshNeverBringsBackAnOlderSelectionAndABankReadNeedsNoLog) {
  AppFixture f;
  std::filesystem::create_directory(f.dir / "blofeld.log");  // as unwritable as a full disk
  TfrmMain& w = f.OpenNamed();
  BankListView* lv = w.BlofeldList();
  // Select All, then sort everything: the sort collects all 1024 rows.
  QTest::keyClick(lv, Qt::Key_A, Qt::ControlModifier);
  w.Action("actOrderBlofeldByName")->trigger();
  ClickRow(lv, 5);
  const std::vector<std::string> before = Names(w.Blofeld(), {5, 20});
  emit lv->RowDropped(lv, 20);  // A006 dropped on A021
  EXPECT_EQ(Names(w.Blofeld(), {20, 5}), before);
  EXPECT_EQ(SelectedRows(lv), std::vector<int>{20});  // the drop, not the old Select All
  EXPECT_TRUE(w.Action("actSendSelected")->isEnabled());

  // A bank read stores every sound though the log cannot be written, and keeps what is selected.
  ClickRow(lv, 300);
  ClickRow(lv, 302, Qt::ShiftModifier);
  w.Action("actReadBankC")->trigger();  // returns when the receive dialog has closed
  for (int i = 256; i < 384; ++i) ASSERT_EQ(w.Blofeld().Sound(i), w.Instrument().Sound(i)) << i;
  EXPECT_TRUE(w.LogMemo()->toPlainText().contains("Cannot write the log file"));
  EXPECT_EQ(w.LogMemo()->horizontalScrollBar()->value(), 0);  // the short lines after the long note stay in sight
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{300, 301, 302}));
  EXPECT_EQ(lv->CurrentRow(), 302);
}

// One transfer at a time, with the sound dumps that left and their times.
struct TransferFixture : AppFixture {
  using AppFixture::AppFixture;
  std::mutex mutex;
  std::vector<std::pair<qint64, int>> dumps;  // (ms, slot)
  QElapsedTimer clock;

  TfrmMain& Start(MidiDriver* driver = nullptr) {
    Open(driver);
    clock.start();
    window->Midi().SetTrace([this](bool out, std::span<const std::uint8_t> b) {
      if (!out || b.size() != kSoundSize || b[4] != 0x10) return;
      std::lock_guard lock(mutex);
      dumps.emplace_back(clock.elapsed(), b[5] * kProgramsPerBank + b[6]);
    });
    return *window;
  }
  std::vector<int> Slots() {
    std::lock_guard lock(mutex);
    std::vector<int> out;
    for (const auto& d : dumps) out.push_back(d.second);
    return out;
  }
  // Rows first..last changed and selected with a click and a shift-click.
  void SelectChangedRows(int first, int last) {
    for (int i = first; i <= last; ++i) {
      SetSoundName(window->Blofeld(), i, "Mine " + std::to_string(i));
      window->Blofeld().SetChanged(i);
    }
    ClickRow(window->BlofeldList(), first);
    ClickRow(window->BlofeldList(), last, Qt::ShiftModifier);
    QApplication::setActiveWindow(window.get());
    window->BlofeldList()->setFocus();
    prompter.answers = {Answer::Yes};  // the send's "replacing ... there?"
  }
  void Enter(bool autoRepeat) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", autoRepeat);
    QApplication::sendEvent(window->BlofeldList(), &press);
  }
};

// A one-way interface (or a MIDI monitor): one output and no input at all.
struct OneWayDriver : MidiDriver {
  struct Port : MidiOutputPort {
    void Send(std::span<const std::uint8_t>) override {}
  };
  std::vector<std::string> InputNames() override { return {}; }
  std::vector<std::string> OutputNames() override { return {"One-Way Out"}; }
  std::unique_ptr<MidiOutputPort> OpenOutput(int, const std::string&) override { return std::make_unique<Port>(); }
  std::unique_ptr<MidiInputPort> OpenInput(int, const std::string& n, InputCallback) override { throw MidiError(n); }
};

TEST(TransfersWindow, SendingSelectedSoundsAndAFileNeedsOnlyAnOutput) {
  TransferFixture f("[Midi]\nMidiOutDeviceID=One-Way Out\nMIDIDelay=0\n");
  OneWayDriver port;
  TfrmMain& w = f.Start(&port);
  w.Midi().CloseInputs();  // nothing to listen on
  ASSERT_FALSE(w.Midi().InstrumentInputOpen());
  f.SelectChangedRows(0, 2);
  f.Enter(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  EXPECT_EQ(f.Slots(), (std::vector<int>{0, 1, 2}));

  WriteSounds(f.dir / "two.syx", {w.Blofeld().Sound(1), w.Blofeld().Sound(2)});
  f.prompter.openName = (f.dir / "two.syx").string();
  f.prompter.answers = {Answer::Yes};  // "Send 2 sounds to the Blofeld, replacing ..."
  w.Action("actSendSysExFromFile")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  EXPECT_EQ(f.Slots(), (std::vector<int>{0, 1, 2, 1, 2}));
  // No failure was reported, and nothing went to the built-in instrument.
  ASSERT_EQ(f.prompter.asked.size(), 2u);
  EXPECT_EQ(f.prompter.asked[1].rfind("Send 2 sounds", 0), 0u) << f.prompter.asked[1];
  EXPECT_EQ(w.Instrument().RequestsReceived(), 0);
}

TEST(TransfersWindow, HeldEnterStartsOneSendPacedByTheDelayAndReadAllWaitsForIt) {
  TransferFixture f("");
  TfrmMain& w = f.Start();
  const int requestsBefore = w.Instrument().RequestsReceived();  // the global data at start
  f.SelectChangedRows(0, 9);
  f.Enter(false);
  // The key stays down: the keyboard repeats it every 30 ms or so.
  for (int k = 0; k < 22; ++k) {
    QTest::qWait(30);
    QApplication::setActiveWindow(&w);
    f.Enter(true);
  }
  auto* readAll = w.findChild<QPushButton*>("btnReadAll");
  EXPECT_FALSE(w.Action("actSendSelected")->isEnabled());
  QTest::mouseClick(readAll, Qt::LeftButton);  // disabled: nothing starts
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 10000));
  EXPECT_EQ(f.Slots(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  {
    std::lock_guard lock(f.mutex);
    for (std::size_t i = 1; i < f.dumps.size(); ++i) EXPECT_GE(f.dumps[i].first - f.dumps[i - 1].first, 240) << i;
  }
  EXPECT_EQ(SelectedRows(w.BlofeldList()).size(), 10u);  // sending keeps the user's selection
  EXPECT_EQ(w.Instrument().RequestsReceived(), requestsBefore);
  EXPECT_TRUE(w.Action("actSendSelected")->isEnabled());

  QTest::mouseClick(readAll, Qt::LeftButton);  // returns when the read has ended
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(w.Blofeld().Sound(i), w.Instrument().Sound(i)) << i;
  ASSERT_EQ(f.prompter.asked.size(), 1u);  // one question for the whole send; the read found nothing missing
}

TEST(TransfersWindow, CancelStopsASendAndTheUnsentKeepTheirChangedMarks) {
  TransferFixture f("");
  TfrmMain& w = f.Start();
  f.SelectChangedRows(20, 29);
  f.Enter(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.Slots().size() >= 3; }, 5000));
  QTest::mouseClick(w.Receiver()->btnClose(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 2000));
  EXPECT_LT(f.Slots().size(), 10u);
  EXPECT_EQ(f.prompter.asked.size(), 1u);  // a cancel is the user's choice: no failure reported

  // A read that stays incomplete names the missing slots.
  QApplication::setActiveWindow(&w);
  f.prompter.asked.clear();
  w.Instrument().InjectFault(5, {VirtualInstrument::FaultKind::Drop, 0, 0, false});
  w.Instrument().InjectFault(77, {VirtualInstrument::FaultKind::Corrupt, 0, 0, false});
  w.Action("actReadBankA")->trigger();
  EXPECT_EQ(f.prompter.asked, std::vector<std::string>{"No valid reply came for 2 sound(s): A006, A078. They keep "
                                                       "what they held before; read them again."});
  EXPECT_EQ(TrimmedSoundName(w.Blofeld().Sound(6)), TrimmedSoundName(w.Instrument().Sound(6)));
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
