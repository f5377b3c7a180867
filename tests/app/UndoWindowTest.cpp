// Undo and redo in the main window, through the Edit menu and its keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <fstream>

#include "app/QtPrompter.h"
#include "app/TfrmMain.h"
#include "editor/TfrmPatchEdit.h"
#include "midi/SysExMessages.h"
#include "midi/ReceiveDispatcher.h"
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
    window->RebuildList(window->Blofeld());
    window->RebuildList(window->Virtual());
    window->Midi().SetTrace([this](bool out, std::span<const std::uint8_t>) { sent += out ? 1 : 0; });
    return *window;
  }
};

std::string Name(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }

void ClickRow(BankListView* lv, int row, Qt::KeyboardModifiers mods = {}) {
  lv->scrollTo(lv->model()->index(row, 1));
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, mods, lv->visualRect(lv->model()->index(row, 1)).center());
}

std::vector<std::string> Names(const BankSet& set) {
  std::vector<std::string> names;
  for (int i = 0; i < kSlotCount; ++i) names.push_back(Name(set, i) + (set.Changed(i) ? "*" : ""));
  return names;
}

void UndoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier); }
void RedoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier); }

TEST(UndoWindow, TheEditMenuNamesTheStepAndItsKeysUndoAndRedoEveryCommand) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  BankListView* lv = w.BlofeldList();
  QAction* undo = w.Action("actUndo");
  QAction* redo = w.Action("actRedo");
  ASSERT_TRUE(undo && redo);
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(undo->shortcut(), QKeySequence("Alt+Backspace"));
  EXPECT_EQ(redo->shortcut(), QKeySequence("Shift+Alt+Backspace"));
  // The keys are shown in the Edit menu, at its top.
  QMenu* edit = nullptr;
  for (QAction* a : w.menuBar()->actions())
    if (a->text() == "&Edit") edit = a->menu();
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->actions().at(0), undo);
  EXPECT_EQ(edit->actions().at(1), redo);

  const int octave = w.Octave();
  int sentBefore = 0;
  const auto start = Names(w.Blofeld());
  // Paste A031 onto B002 with the keys.
  ClickRow(lv, 30);
  QTest::keyClick(lv, Qt::Key_C, Qt::ControlModifier);
  ClickRow(lv, 129);
  QTest::keyClick(lv, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(Name(w.Blofeld(), 129), "b30");
  EXPECT_EQ(undo->text(), "Undo Paste");
  const auto pasted = Names(w.Blofeld());
  // Move A006..A008 down with Ctrl+keypad plus.
  ClickRow(lv, 5);
  ClickRow(lv, 7, Qt::ShiftModifier);
  QTest::keyClick(lv, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  ASSERT_EQ(Name(w.Blofeld(), 6), "b5");
  EXPECT_EQ(undo->text(), "Undo Move Down");
  const auto moved = Names(w.Blofeld());
  const std::vector<int> movedSelection{6, 7, 8};

  sentBefore = f.sent;  // clicks audition rows; undo and redo send nothing
  UndoKey(lv);
  EXPECT_EQ(Names(w.Blofeld()), pasted);
  // The selection and the current row are back where the move found them.
  EXPECT_TRUE(lv->selectionModel()->isRowSelected(5, {}) && !lv->selectionModel()->isRowSelected(8, {}));
  EXPECT_EQ(lv->CurrentRow(), 7);
  EXPECT_EQ(undo->text(), "Undo Paste");
  EXPECT_EQ(redo->text(), "Redo Move Down");
  UndoKey(lv);
  EXPECT_EQ(Names(w.Blofeld()), start);
  EXPECT_EQ(lv->CurrentRow(), 129);
  EXPECT_FALSE(undo->isEnabled());
  RedoKey(lv);
  RedoKey(lv);
  EXPECT_EQ(Names(w.Blofeld()), moved);
  for (int row : movedSelection) EXPECT_TRUE(lv->selectionModel()->isRowSelected(row, {})) << row;
  EXPECT_EQ(w.Octave(), octave);  // the keys left the keyboard octave alone
  EXPECT_EQ(f.sent, sentBefore);  // and nothing went to the instrument

  // Sort (menu), New Empty (menu) and a drop, each undone from the menu.
  QTest::keyClick(lv, Qt::Key_A, Qt::ControlModifier);
  w.Action("actOrderBlofeldByName")->trigger();
  EXPECT_EQ(undo->text(), "Undo Order by Name");
  EXPECT_NE(Names(w.Blofeld()), moved);
  undo->trigger();
  EXPECT_EQ(Names(w.Blofeld()), moved);

  f.prompter.answers = {Answer::No};  // discard the changed sounds
  w.Action("actNewEmptyVirtual")->trigger();
  EXPECT_EQ(Name(w.Virtual(), 3), TrimmedSoundName(MakeDefaultInitSound()));
  undo->trigger();
  EXPECT_EQ(Name(w.Virtual(), 3), "v3");

  ClickRow(w.VirtualList(), 9);
  f.prompter.answers = {Answer::Yes};  // overwrite A041
  emit lv->RowDropped(w.VirtualList(), 40);  // Virtual A010 dropped on Blofeld A041
  EXPECT_EQ(Name(w.Blofeld(), 40), "v9");
  EXPECT_EQ(undo->text(), "Undo Copy Sound");
  UndoKey(lv);
  EXPECT_EQ(Name(w.Blofeld(), 40), "b40");
  EXPECT_EQ(Names(w.Blofeld()), moved);
  // A new command drops what could have been redone.
  ClickRow(lv, 2);
  QTest::keyClick(lv, Qt::Key_V, Qt::ControlModifier);
  EXPECT_FALSE(redo->isEnabled());
  EXPECT_EQ(redo->text(), "Redo");
}

TEST(UndoWindow, AWholeReadIsOneStepAndUndoingItMarksWhatTheInstrumentDoesNotHold) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  for (int i = 0; i < kSlotCount; ++i) w.Blofeld().SetChanged(i, false);
  const auto before = Names(w.Blofeld());
  w.Action("actReadAll")->trigger();  // returns when the read has ended
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 20000));
  QApplication::setActiveWindow(&w);  // back from the read dialog, as the window manager does
  ASSERT_TRUE(w.Dispatcher().Missing.empty());
  EXPECT_EQ(Name(w.Blofeld(), 700), TrimmedSoundName(w.Instrument().Sound(700)));
  EXPECT_EQ(w.UndoHistory().UndoCount(), 1u);
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Read All");

  const int sentBefore = f.sent;
  UndoKey(w.BlofeldList());
  QTest::qWait(50);
  EXPECT_EQ(f.sent, sentBefore);  // undo sends nothing
  for (int i = 0; i < kSlotCount; ++i) {
    ASSERT_EQ(Name(w.Blofeld(), i), before[static_cast<std::size_t>(i)]) << i;
    // Every row now differs from the instrument: one Send puts them back.
    ASSERT_TRUE(w.Blofeld().Changed(i)) << i;
  }
  RedoKey(w.BlofeldList());
  for (int i = 0; i < kSlotCount; ++i) ASSERT_FALSE(w.Blofeld().Changed(i)) << i;
  EXPECT_EQ(Name(w.Blofeld(), 5), TrimmedSoundName(w.Instrument().Sound(5)));
}

// Runs `act` on the next modal dialog once it is shown.
template <typename Fn>
void OnNextDialog(Fn act) {
  QTimer::singleShot(0, [act] {
    for (int i = 0; i < 300 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(d);
  });
}

TEST(UndoWindow, ALoadedFileARenameAndTheEditorsOkAreStepsToo) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  const auto start = Names(w.Virtual());
  test::WriteSounds(f.dir / "two.syx", {test::MakeSound("L1", 1), test::MakeSound("L2", 1)});
  f.prompter.openName = (f.dir / "two.syx").string();
  ClickRow(w.VirtualList(), 20);
  OnNextDialog([](QDialog* d) { d->accept(); });
  w.Action("actLoadVirtual")->trigger();
  ASSERT_EQ(Name(w.Virtual(), 20), "L1");
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Load File");
  // A right click renames.
  OnNextDialog([](QDialog* d) {
    d->findChild<QLineEdit*>("edtName")->setText("Renamed");
    d->accept();
  });
  ClickRow(w.VirtualList(), 30);
  QTest::mouseClick(w.VirtualList()->viewport(), Qt::RightButton, {},
                    w.VirtualList()->visualRect(w.VirtualList()->model()->index(30, 1)).center());
  ASSERT_EQ(Name(w.Virtual(), 30), "Renamed");
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Rename");
  const auto renamed = Names(w.Virtual());

  // F4 opens the editor on the instrument's edit buffer; OK stores it into A031.
  QApplication::setActiveWindow(&w);  // back from the rename dialog, as the window manager does
  BankListView* lv = w.BlofeldList();
  ClickRow(lv, 30);  // (plays A031, which fills the edit buffer)
  SoundData edit = w.Instrument().Sound(42);
  SetSoundName(edit, "Warm Pad 1");
  SendSoundToEditBuffer(w.Midi(), edit);
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Warm Pad 1"; }, 3000));
  bool sawEditor = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget());
    if (!editor || sawEditor) return;
    sawEditor = true;
    editor->accept();
  });
  poll.start(10);
  f.prompter.answers = {Answer::Yes};  // store into A031
  QTest::keyClick(lv, Qt::Key_F4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return sawEditor && Name(w.Blofeld(), 30) == "Warm Pad 1"; }, 6000))
      << sawEditor << " " << (f.prompter.asked.empty() ? "" : f.prompter.asked.back());
  QApplication::setActiveWindow(&w);
  EXPECT_EQ(w.Action("actUndo")->text(), "Undo Edit Sound");
  UndoKey(lv);
  EXPECT_EQ(Name(w.Blofeld(), 30), "b30");
  UndoKey(lv);
  EXPECT_EQ(Name(w.Virtual(), 30), "v30");
  UndoKey(lv);
  EXPECT_EQ(Names(w.Virtual()), start);
  RedoKey(lv);
  RedoKey(lv);
  EXPECT_EQ(Names(w.Virtual()), renamed);
}

TEST(UndoWindow, DiscardingAtCloseIsTheLastStepAndCannotBeUndone) {
  UndoFixture f;
  TfrmMain& w = f.Open();
  ClickRow(w.VirtualList(), 4);
  QTest::keyClick(w.VirtualList(), Qt::Key_C, Qt::ControlModifier);
  ClickRow(w.VirtualList(), 5);
  QTest::keyClick(w.VirtualList(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_TRUE(w.Action("actUndo")->isEnabled());
  // Cancel keeps the window and the history.
  f.prompter.answers = {Answer::Cancel};
  EXPECT_FALSE(w.close());
  ASSERT_FALSE(f.prompter.asked.empty());
  EXPECT_EQ(f.prompter.asked.back().rfind("The Virtual banks have 1 changed sound.", 0), 0u) << f.prompter.asked.back();
  EXPECT_TRUE(w.Action("actUndo")->isEnabled());
  f.prompter.answers = {Answer::No};  // the Virtual banks' changes are discarded
  EXPECT_TRUE(w.close());
  EXPECT_EQ(w.UndoHistory().SealedBy(), "Discard");
  EXPECT_FALSE(w.Action("actUndo")->isEnabled());
}

}  // namespace
}  // namespace tarvix
