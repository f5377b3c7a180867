// "Find Duplicate Sounds" as the musician uses it: clicks and keys in its
// list, and what they do to the main window's lists.
#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/TfrmDuplicates.h"
#include "app/TfrmMain.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/Sounds.h"
#include "tests/support/TestWindow.h"

namespace tarvix {
namespace {

using test::TempDir;

// Every slot of both sets a sound of its own (bytes 100..102 tell them apart).
void MakeAllDifferent(BankSet& set) {
  for (int i = 0; i < kSlotCount; ++i) {
    SoundData& s = set.Sound(i);
    s[100] = static_cast<std::uint8_t>(i & 0x7F);
    s[101] = static_cast<std::uint8_t>(i >> 7);
    s[102] = static_cast<std::uint8_t>(set.Kind());
  }
}

void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item, bool twice = false) {
  tree->scrollToItem(item);
  const QPoint at = tree->visualItemRect(item).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  if (twice) QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

std::vector<int> SelectedRows(const BankSet& set) {
  std::vector<int> rows;
  for (int i = 0; i < kSlotCount; ++i)
    if (set.IsSelected(i)) rows.push_back(i);
  return rows;
}

TEST(DuplicatesWindow, ListsGroupsAcrossBothSetsAndSelectsOrGoesToTheirRows) {
  TempDir dir;
  test::ScriptedPrompter prompter;
  test::WriteSounds(dir / kInitSoundFileName, {MakeDefaultInitSound()});
  std::ofstream(dir / kSettingsFileName) << "[Midi]\nMIDIDelay=0\n";
  auto window = test::OpenTestWindow(dir, &prompter);
  TfrmMain& w = *window;
  MakeAllDifferent(w.Blofeld());
  MakeAllDifferent(w.Virtual());
  // One sound in three rows under other names; two empty slots alike.
  SoundData pad = w.Blofeld().Sound(5);
  SetSoundName(pad, "Warm Pad");
  w.Blofeld().Sound(5) = pad;
  SetSoundName(pad, "Pad again");
  SetCategory(pad, 4);
  w.Blofeld().Sound(40) = pad;
  w.Virtual().Sound(700) = pad;
  for (int i : {8, 9}) {
    w.Blofeld().Sound(i) = w.Blofeld().Sound(7);
    SetCategory(w.Blofeld().Sound(i), kEmptyCategory);
  }

  w.Action("actFindDuplicates")->trigger();
  TfrmDuplicates* d = w.DuplicatesWindow();
  ASSERT_NE(d, nullptr);
  ASSERT_TRUE(d->isVisible());
  // The window the musician works in is the active one (keys go to it, not
  // to the main window's key handling).
  QApplication::setActiveWindow(d);
  QTreeWidget* tree = d->Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* group = tree->topLevelItem(0);
  ASSERT_EQ(group->childCount(), 3);
  EXPECT_EQ(group->child(0)->text(0), "Blofeld A006");
  EXPECT_EQ(group->child(0)->text(1).trimmed(), "Warm Pad");
  EXPECT_EQ(group->child(1)->text(0), "Blofeld A041");
  EXPECT_EQ(group->child(2)->text(0), "Virtual F061");

  // A row and "Go to Row": that row becomes current and the only one
  // selected, and is auditioned (the Virtual list sends to the edit buffer).
  ClickItem(tree, group->child(2));
  QTest::mouseClick(d->findChild<QPushButton*>("btnGoToRow"), Qt::LeftButton);
  EXPECT_EQ(w.VirtualList()->CurrentRow(), 700);
  EXPECT_EQ(w.Virtual().CurrentIndex, 700);
  EXPECT_EQ(SelectedRows(w.Virtual()), std::vector<int>{700});
  EXPECT_EQ(w.ActiveList(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Pad again"; }, 5000));

  // A double-click on a row goes there too.
  ClickItem(tree, group->child(1), true);
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 40);
  EXPECT_EQ(SelectedRows(w.Blofeld()), std::vector<int>{40});
  EXPECT_EQ(w.ActiveList(), 1);

  // Enter on the group selects all its rows in both lists and nothing else.
  ClickItem(tree, group);
  QTest::keyClick(tree, Qt::Key_Return);
  EXPECT_EQ(SelectedRows(w.Blofeld()), (std::vector<int>{5, 40}));
  EXPECT_EQ(SelectedRows(w.Virtual()), std::vector<int>{700});
  EXPECT_TRUE(w.BlofeldList()->selectionModel()->isRowSelected(5, {}));
  EXPECT_TRUE(w.BlofeldList()->selectionModel()->isRowSelected(40, {}));
  EXPECT_FALSE(w.BlofeldList()->selectionModel()->isRowSelected(6, {}));
  EXPECT_TRUE(w.Action("actSendSelected")->isEnabled());
  // The button does the same from one of the group's rows.
  BankListView* lv = w.BlofeldList();
  lv->scrollTo(lv->model()->index(100, 1));
  QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, lv->visualRect(lv->model()->index(100, 1)).center());
  ASSERT_EQ(SelectedRows(w.Blofeld()), std::vector<int>{100});
  ClickItem(tree, group->child(0));
  QTest::mouseClick(d->findChild<QPushButton*>("btnSelectGroup"), Qt::LeftButton);
  EXPECT_EQ(SelectedRows(w.Blofeld()), (std::vector<int>{5, 40}));
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 5);

  // Once the copies differ, searching again finds nothing.
  w.Blofeld().Sound(40)[150] ^= 1;
  w.Virtual().Sound(700)[150] ^= 2;
  QTest::mouseClick(d->findChild<QPushButton*>("btnRefresh"), Qt::LeftButton);
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_EQ(d->findChild<QLabel*>("lblSummary")->text(), "No two rows hold the same sound.");
  EXPECT_FALSE(d->findChild<QPushButton*>("btnGoToRow")->isEnabled());
}

}  // namespace
}  // namespace tarvix
