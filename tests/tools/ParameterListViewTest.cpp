#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "tools/TfrmParameterListView.h"
#include "tools/TfrmSelectLocation.h"

namespace tarvix {
namespace {

const QStringList kFive{"one", "two", "three", "four", "five"};

QString Ticks(const TfrmParameterListView& v) { return QString::fromStdString(MaskOf(v.CurrentTicks())); }

TEST(TfrmParameterListView, OkReturnsTheMaskOfTheTicks) {
  TfrmParameterListView view;
  view.SetItems(kFive);
  view.CheckListBox1->item(1)->setCheckState(Qt::Checked);
  view.CheckListBox1->item(3)->setCheckState(Qt::Checked);
  view.open();
  view.Button1->click();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(view.Mask(), "01010");
  EXPECT_EQ(view.CheckListBox1->item(1)->text(), "two");  // items untouched
}

TEST(TfrmParameterListView, ButtonsChangeOnlyTheTicks) {
  TfrmParameterListView view;
  view.SetItems(kFive, "0101");  // a short mask leaves the rest unticked
  EXPECT_EQ(Ticks(view), "01010");
  view.Button2->click();
  EXPECT_EQ(Ticks(view), "10101");
  view.Button2->click();
  EXPECT_EQ(Ticks(view), "01010");

  view.SetItems(kFive, "00001");
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  // The list has the focus (so a current row) but no row is selected:
  // "Select to" and "Select from" change nothing.
  view.CheckListBox1->setFocus();
  QTest::mouseClick(view.Button3, Qt::LeftButton);
  QTest::mouseClick(view.Button4, Qt::LeftButton);
  EXPECT_EQ(Ticks(view), "00001");
  auto clickRow = [&](int row) {
    const QRect r = view.CheckListBox1->visualItemRect(view.CheckListBox1->item(row));
    QTest::mouseClick(view.CheckListBox1->viewport(), Qt::LeftButton, {}, QPoint(r.right() - 5, r.center().y()));
  };
  clickRow(2);
  QTest::mouseClick(view.Button3, Qt::LeftButton);
  EXPECT_EQ(Ticks(view), "11101");

  view.SetItems(kFive, "10000");
  clickRow(3);
  QTest::mouseClick(view.Button4, Qt::LeftButton);
  EXPECT_EQ(Ticks(view), "10011");

  view.btnSelectAll->click();
  EXPECT_EQ(Ticks(view), "11111");
  EXPECT_EQ(view.CheckListBox1->count(), 5);
}

TEST(TfrmParameterListView, EscAndCloseBoxRebuildTheMaskButDoNotAccept) {
  TfrmParameterListView view;
  view.SetItems(kFive, "11000");
  view.open();
  view.CheckListBox1->setFocus();
  QTest::keyClick(view.CheckListBox1, Qt::Key_Escape);
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(view.result(), QDialog::Rejected);
  EXPECT_EQ(view.Mask(), "11000");

  view.CheckListBox1->item(4)->setCheckState(Qt::Checked);
  view.open();
  view.close();
  EXPECT_EQ(view.result(), QDialog::Rejected);
  EXPECT_EQ(view.Mask(), "11001");

  TfrmParameterListView empty;
  empty.open();
  empty.Button1->click();
  EXPECT_EQ(empty.result(), QDialog::Accepted);
  EXPECT_EQ(empty.Mask(), "");
}

TEST(TfrmSelectLocation, StartsAtA1AndReturnsTheChoice) {
  TfrmSelectLocation dlg;
  EXPECT_EQ(dlg.Bank(), 0);
  EXPECT_EQ(dlg.Program(), 0);

  dlg.SetLocation(3, 127);
  dlg.SetLocation(8, -1);  // out of range: kept
  EXPECT_EQ(dlg.Bank(), 3);
  EXPECT_EQ(dlg.Program(), 127);
  dlg.open();
  dlg.Button1->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  dlg.open();
  dlg.Button2->click();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST(TfrmSelectLocation, ShowsTheSoundNamesOfTheChosenBankAndItsWholeTitle) {
  TfrmSelectLocation dlg;
  QStringList names;
  for (int i = 0; i < 1024; ++i) names << QString("Sound %1        ").arg(i);
  dlg.SetSoundNames(names);
  EXPECT_EQ(dlg.cmbProgram->itemText(0), "1  Sound 0");
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  dlg.cmbBank->setFocus();
  QTest::keyClick(dlg.cmbBank, Qt::Key_Down);  // bank B
  EXPECT_EQ(dlg.cmbProgram->itemText(127), "128  Sound 255");
  EXPECT_GE(dlg.width(), dlg.fontMetrics().horizontalAdvance(dlg.windowTitle()) + 120);
}

}  // namespace
}  // namespace tarvix
