// Undo and redo in the main window, through the Edit menu and its keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <fstream>

#include "app/QtPrompter.h"
#include "app/TfrmMain.h"
#include "editor/TfrmPatchEdit.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/SysExMessages.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/Sounds.h"
#include "tests/support/TestWindow.h"

namespace tarvix {
namespace {

struct UndoFixture {
  test::TempDir dir;
  test::ScriptedPrompter prompter;
  std::unique_ptr<TfrmMain> window;
  std::atomic<int> sent{0};  // messages that left for the instrument

  TfrmMain& Open() {
    test::WriteSounds(dir / kInitSoundFileName, {MakeDefaultInitSound()});
    std::ofstream(dir / kSettingsFileName) << "[Midi]\nMIDIDelay=0\n";
    window = test::OpenTestWindow(dir, &prompter);
    for (int i = 0; i < kSlotCount; ++i) {
      SetSoundName(window->Blofeld(), i, "b" + std::to_string(i));
      SetSoundName(window->Virtual(), i, "v" + std::to_string(i));
    }
    window->Midi().SetTrace([this](bool out, std::span<const std::uint8_t>) { sent += out ? 1 : 0; });
    return *window;
  }
};

std::string Name(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }
// Names with a * for changed rows: what the list shows.
std::vector<std::string> Rows(const BankSet& set) {
  std::vector<std::string> rows;
  for (int i = 0; i < kSlotCount; ++i) rows.push_back(Name(set, i) + (set.Changed(i) ? "*" : ""));
  return rows;
}
void ClickRow(BankListView* lv, int row, Qt::KeyboardModifiers mods = {}) {
  lv->scrollTo(lv->model()->index(row, 1));
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, mods, lv->visualRect(lv->model()->index(row, 1)).center());
}
void UndoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier); }
void RedoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier); }

TEST(UndoWindow, TheEditMenuNamesTheStepAndItsKeysUndoAndRedoWithoutSending) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  BankListView* lv = w.BlofeldList();
  QAction* undo = w.Action("actUndo");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(undo->shortcut(), QKeySequence("Alt+Backspace"));  // shown in the menu beside the caption
  const int octave = w.Octave();
  const auto start = Rows(w.Blofeld());
  ClickRow(lv, 30);  // paste A031 onto B002 with the keys
  QTest::keyClick(lv, Qt::Key_C, Qt::ControlModifier);
  ClickRow(lv, 129);
  QTest::keyClick(lv, Qt::Key_V, Qt::ControlModifier);
  const auto pasted = Rows(w.Blofeld());
  ClickRow(lv, 5);  // A006..A008 down with Ctrl+keypad plus
  ClickRow(lv, 7, Qt::ShiftModifier);
  QTest::keyClick(lv, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  ASSERT_EQ(Name(w.Blofeld(), 6), "b5");
  EXPECT_EQ(undo->text(), "Undo Move Down");
  const auto moved = Rows(w.Blofeld());

  const int sentBefore = f.sent;  // clicks play rows; undo and redo send nothing
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), pasted);
  EXPECT_TRUE(lv->selectionModel()->isRowSelected(5, {}) && !lv->selectionModel()->isRowSelected(8, {}));
  EXPECT_EQ(lv->CurrentRow(), 7);
  EXPECT_EQ(w.Action("actRedo")->text(), "Redo Move Down");
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), start);
  EXPECT_EQ(lv->CurrentRow(), 129);
  RedoKey(lv);
  RedoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  EXPECT_TRUE(lv->selectionModel()->isRowSelected(8, {}));
  EXPECT_EQ(w.Octave(), octave);  // the keys leave the keyboard octave alone
  EXPECT_EQ(f.sent, sentBefore);

  // A sort and a drop from the other list, undone from the menu.
  QTest::keyClick(lv, Qt::Key_A, Qt::ControlModifier);
  w.Action("actOrderBlofeldByName")->trigger();
  EXPECT_EQ(undo->text(), "Undo Order by Name");
  undo->trigger();
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  ClickRow(w.VirtualList(), 9);
  f.prompter.answers = {Answer::Yes};  // overwrite A041
  emit lv->RowDropped(w.VirtualList(), 40);
  EXPECT_EQ(Name(w.Blofeld(), 40), "v9");
  undo->trigger();
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  EXPECT_EQ(w.Action("actRedo")->text(), "Redo Copy Sound");
}

TEST(UndoWindow, AWholeReadIsOneStepAndUndoingItMarksWhatTheInstrumentDoesNotHold) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  w.Action("actReadAll")->trigger();  // returns when the read has ended
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 20000));
  QApplication::setActiveWindow(&w);  // back from the read dialog, as the window manager does
  ASSERT_TRUE(w.Dispatcher().Missing.empty());
  EXPECT_EQ(w.UndoHistory().UndoCount(), 1u);
  const int sentBefore = f.sent;
  UndoKey(w.BlofeldList());
  QTest::qWait(50);
  EXPECT_EQ(f.sent, sentBefore);
  // Every row is back and differs from the instrument: one Send puts them back.
  const auto undone = Rows(w.Blofeld());
  for (std::size_t i = 0; i < undone.size(); ++i) ASSERT_EQ(undone[i], Name(w.Blofeld(), int(i)) + "*") << i;
  for (std::size_t i = 0; i < undone.size(); ++i) ASSERT_EQ(Name(w.Blofeld(), int(i)), "b" + std::to_string(i));
  RedoKey(w.BlofeldList());
  for (int i = 0; i < kSlotCount; ++i)
    ASSERT_TRUE(!w.Blofeld().Changed(i) && SameSoundContent(w.Blofeld().Sound(i), w.Instrument().Sound(i))) << i;
}

// Runs `act` on the next modal dialog once it is shown.
template <typename Fn>
void OnNextDialog(Fn act) {
  QTimer::singleShot(0, [act] {
    for (int i = 0; i < 300 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) act(d);
  });
}

TEST(UndoWindow, ALoadedFileAndTheEditorsOkAreSteps) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  const auto start = Rows(w.Virtual());
  test::WriteSounds(f.dir / "two.syx", {test::MakeSound("L1", 1), test::MakeSound("L2", 1)});
  f.prompter.openName = (f.dir / "two.syx").string();
  ClickRow(w.VirtualList(), 20);
  OnNextDialog([](QDialog* d) { d->accept(); });  // the locator: at the current row
  w.Action("actLoadVirtual")->trigger();
  ASSERT_EQ(Name(w.Virtual(), 20), "L1");
  QApplication::setActiveWindow(&w);

  // F4 opens the editor on the instrument's edit buffer; OK stores it into A031.
  BankListView* lv = w.BlofeldList();
  ClickRow(lv, 30);  // (plays A031, which fills the edit buffer)
  SoundData edit = w.Instrument().Sound(42);
  SetSoundName(edit, "Warm Pad 1");
  SendSoundToEditBuffer(w.Midi(), edit);
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Warm Pad 1"; }, 3000));
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget())) editor->accept();
  });
  poll.start(10);
  f.prompter.answers = {Answer::Yes};  // store into A031
  QTest::keyClick(lv, Qt::Key_F4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Name(w.Blofeld(), 30) == "Warm Pad 1"; }, 6000));
  QApplication::setActiveWindow(&w);
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Edit Sound");
  UndoKey(lv);
  EXPECT_EQ(Name(w.Blofeld(), 30), "b30");
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Load File");
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Virtual()), start);
  RedoKey(lv);
  RedoKey(lv);
  EXPECT_EQ(Name(w.Virtual(), 21), "L2");
  EXPECT_EQ(Name(w.Blofeld(), 30), "Warm Pad 1");
}

TEST(UndoWindow, DiscardingAtCloseIsTheLastStepAndCannotBeUndone) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  ClickRow(w.VirtualList(), 5);
  QTest::keyClick(w.VirtualList(), Qt::Key_C, Qt::ControlModifier);
  ClickRow(w.VirtualList(), 6);
  QTest::keyClick(w.VirtualList(), Qt::Key_V, Qt::ControlModifier);
  f.prompter.answers = {Answer::Cancel};  // "The Virtual banks have 1 changed sound. ..."
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.Action("actUndo")->isEnabled());
  f.prompter.answers = {Answer::No};  // Discard
  EXPECT_TRUE(w.close());
  EXPECT_EQ(w.UndoHistory().SealedBy(), "Discard");
  EXPECT_FALSE(w.Action("actUndo")->isEnabled());
}

}  // namespace
}  // namespace tarvix
