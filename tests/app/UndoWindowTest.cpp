// Undo and redo through the Edit menu and its keys, and "Find Duplicate Sounds".
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <atomic>

#include "app/TfrmDuplicates.h"
#include "editor/TfrmPatchEdit.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/SysExMessages.h"
#include "tests/app/AppTest.h"

namespace tarvix {
namespace {

using namespace test;

struct UndoFixture : AppFixture {
  std::atomic<int> sent{0};  // messages that left for the instrument
  TfrmMain& Start() {
    OpenNamed();
    window->Midi().SetTrace([this](bool out, std::span<const std::uint8_t>) { sent += out ? 1 : 0; });
    return *window;
  }
};

// Names with a * for changed rows.
std::vector<std::string> Rows(const BankSet& set) {
  std::vector<std::string> rows;
  for (int i = 0; i < kSlotCount; ++i) rows.push_back(Name(set, i) + (set.Changed(i) ? "*" : ""));
  return rows;
}
void UndoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier); }
void RedoKey(QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier); }

TEST(UndoWindow, TheEditMenuNamesTheStepItsKeysUndoAndRedoWithoutSendingAReadIsOneStepAndADiscardEndsIt) {
  UndoFixture f;
  TfrmMain& w = f.Start();
  BankListView* lv = w.BlofeldList();
  QAction* undo = w.Action("actUndo");
  const auto start = Rows(w.Blofeld());
  ClickRow(lv, 30);  // paste A031 onto B002 with the keys
  QTest::keyClick(lv, Qt::Key_C, Qt::ControlModifier);
  ClickRow(lv, 129);
  QTest::keyClick(lv, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Names(w.Blofeld(), {129, 30}), (std::vector<std::string>{"b30", "b30"}));
  const auto pasted = Rows(w.Blofeld());
  ClickRow(lv, 5);  // A006..A008 down with Ctrl+keypad plus
  ClickRow(lv, 7, Qt::ShiftModifier);
  QTest::keyClick(lv, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(undo->text(), "Undo Move Down");
  const auto moved = Rows(w.Blofeld());

  const int sentBefore = f.sent;  // clicks play rows; undo and redo send nothing
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), pasted);
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(lv->CurrentRow(), 7);
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), start);
  RedoKey(lv);
  RedoKey(lv);
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  EXPECT_EQ(f.sent, sentBefore);

  // A sort and a drop from the other list, undone from the menu.
  QTest::keyClick(lv, Qt::Key_A, Qt::ControlModifier);
  w.Action("actOrderBlofeldByName")->trigger();
  undo->trigger();
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  ClickRow(w.VirtualList(), 9);
  f.prompter.answers = {Answer::Yes};  // overwrite A041
  emit lv->RowDropped(w.VirtualList(), 40);
  undo->trigger();
  EXPECT_EQ(Rows(w.Blofeld()), moved);
  EXPECT_EQ(w.Action("actRedo")->text(), "Redo Copy Sound");

  // A whole read is one step; undone, every row differs from the instrument and is marked for sending.
  w.Action("actReadAll")->trigger();  // returns when the read has ended
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 20000));
  QApplication::setActiveWindow(&w);  // back from the read dialog, as the window manager does
  UndoKey(lv);
  const auto undone = Rows(w.Blofeld());
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(undone[i], moved[i].back() == '*' ? moved[i] : moved[i] + "*") << i;

  // Discarding the changes at close is the last step and cannot be undone.
  f.prompter.answers = {Answer::Cancel};
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(undo->isEnabled());
  f.prompter.answers = {Answer::No};  // Discard
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(undo->isEnabled());
}

// F4 after a send: OK stores the edited sound into the current row, never silently A001.
TEST(UndoWindow, ALoadedFileAndTheEditorsOkAfterASendAreSteps) {
  UndoFixture f;
  TfrmMain& w = f.Start();
  const auto start = Rows(w.Virtual());
  WriteSounds(f.dir / "two.syx", {MakeSound("L1", 1), MakeSound("L2", 1)});
  f.prompter.openName = (f.dir / "two.syx").string();
  ClickRow(w.VirtualList(), 20);
  OnNextDialog([](QDialog* d) { d->accept(); });  // the locator: at the current row
  w.Action("actLoadVirtual")->trigger();
  ASSERT_EQ(Name(w.Virtual(), 20), "L1");
  QApplication::setActiveWindow(&w);
  BankListView* lv = w.BlofeldList();
  UndoKey(lv);
  EXPECT_EQ(Rows(w.Virtual()), start);

  ClickRow(lv, 33);
  ClickRow(lv, 30, Qt::ShiftModifier);  // A031..A034, A031 current
  f.prompter.answers = {Answer::Yes};
  QTest::keyClick(lv, Qt::Key_Return);
  // One transfer at a time: the next command waits until the send has ended.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  QApplication::setActiveWindow(&w);
  w.Action("actReadCurrentSound")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Dispatcher().Busy(); }, 5000));
  QApplication::setActiveWindow(&w);
  // An empty selection leaves A031 current.
  for (int row : {33, 32, 31, 30}) ClickRow(lv, row, Qt::ControlModifier);
  ASSERT_TRUE(SelectedRows(lv).empty());

  // The instrument's edit buffer, changed on the instrument itself.
  SoundData edit = w.Instrument().Sound(42);
  SetSoundName(edit, "Warm Pad 1");
  SendSoundToEditBuffer(w.Midi(), edit);
  ASSERT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Warm Pad 1"; }, 3000));
  auto poll = OnModal<TfrmPatchEdit>([&](TfrmPatchEdit* editor) {
    EXPECT_EQ(TrimmedSoundName(editor->EditSound()), "Warm Pad 1");
    auto* name = editor->findChild<QLineEdit*>("edtName");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Edited");
    editor->Timer1Timer();
    editor->accept();
  });
  f.prompter.answers = {Answer::Yes};
  QTest::keyClick(lv, Qt::Key_F4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Name(w.Blofeld(), 30) == "Edited"; }, 6000))
      << "asked: " << (f.prompter.asked.empty() ? "" : f.prompter.asked.back());
  EXPECT_EQ(f.prompter.asked.back(), "Store \"Edited\" into A031?");
  EXPECT_TRUE(w.Blofeld().Changed(30));
  // The rename was heard: the instrument's edit buffer carries the new name.
  EXPECT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Edited"; }, 3000));
  QApplication::setActiveWindow(&w);
  UndoKey(lv);
  EXPECT_EQ(Name(w.Blofeld(), 30), "b30");
}

void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item, bool twice = false) {
  tree->scrollToItem(item);
  const QPoint at = tree->visualItemRect(item).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  if (twice) QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

TEST(DuplicatesWindow, ListsGroupsAcrossBothSetsAndSelectsOrGoesToTheirRows) {
  AppFixture f;
  TfrmMain& w = f.Open();
  // Every slot a sound of its own (bytes 100..102 tell them apart).
  for (BankSet* set : {&w.Blofeld(), &w.Virtual()})
    for (int i = 0; i < kSlotCount; ++i) {
      set->Sound(i)[100] = static_cast<std::uint8_t>(i & 0x7F);
      set->Sound(i)[101] = static_cast<std::uint8_t>(i >> 7);
      set->Sound(i)[102] = static_cast<std::uint8_t>(set->Kind());
    }
  // One sound in three rows under other names.
  w.Blofeld().Sound(40) = w.Virtual().Sound(700) = w.Blofeld().Sound(5);
  SetSoundName(w.Blofeld(), 5, "Warm Pad");
  SetSoundName(w.Virtual(), 700, "Pad again");

  w.Action("actFindDuplicates")->trigger();
  TfrmDuplicates* d = w.DuplicatesWindow();
  ASSERT_NE(d, nullptr);
  QApplication::setActiveWindow(d);  // keys go to it, not to the main window's key handling
  QTreeWidget* tree = d->Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* group = tree->topLevelItem(0);
  ASSERT_EQ(group->childCount(), 3);
  EXPECT_EQ(group->child(0)->text(0) + group->child(0)->text(1).trimmed(), "Blofeld A006Warm Pad");
  EXPECT_EQ(group->child(2)->text(0), "Virtual F061");

  // "Go to Row" makes it current and the only one selected, and auditions it.
  ClickItem(tree, group->child(2));
  QTest::mouseClick(d->findChild<QPushButton*>("btnGoToRow"), Qt::LeftButton);
  EXPECT_EQ(w.VirtualList()->CurrentRow(), 700);
  EXPECT_EQ(SelectedRows(w.VirtualList()), std::vector<int>{700});
  EXPECT_EQ(w.ActiveList(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Pad again"; }, 5000));

  ClickItem(tree, group->child(1), true);
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 40);
  EXPECT_EQ(w.ActiveList(), 1);

  // Enter on the group selects all its rows in both lists and nothing else.
  ClickItem(tree, group);
  QTest::keyClick(tree, Qt::Key_Return);
  EXPECT_EQ(SelectedRows(w.BlofeldList()), (std::vector<int>{5, 40}));
  EXPECT_EQ(SelectedRows(w.VirtualList()), std::vector<int>{700});
  EXPECT_TRUE(w.Action("actSendSelected")->isEnabled());
  // The button does the same from one of the group's rows.
  ClickRow(w.BlofeldList(), 100);
  ClickItem(tree, group->child(0));
  QTest::mouseClick(d->findChild<QPushButton*>("btnSelectGroup"), Qt::LeftButton);
  EXPECT_EQ(SelectedRows(w.BlofeldList()), (std::vector<int>{5, 40}));
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 5);

  // Once the copies differ, searching again finds nothing.
  w.Blofeld().Sound(40)[150] ^= 1;
  w.Virtual().Sound(700)[150] ^= 2;
  QTest::mouseClick(d->findChild<QPushButton*>("btnRefresh"), Qt::LeftButton);
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_FALSE(d->findChild<QPushButton*>("btnGoToRow")->isEnabled());
}

}  // namespace
}  // namespace tarvix
