#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/support/QtTestMain.h"
#include "tools/TfrmCopySounds.h"
#include "tools/TfrmLocator.h"

namespace tarvix {
namespace {

template <class T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

int Index(char bank, int program) { return (bank - 'A') * kProgramsPerBank + program - 1; }

struct CopySounds : ::testing::Test {
  BankSet blofeld;
  MemoryLog log;
  std::vector<int> redrawn;
  TfrmCopySounds dlg{blofeld, log, [this](int i) { redrawn.push_back(i); }};
  QLineEdit* count = Child<QLineEdit>(dlg, "edtCount");

  void Choose(const char* list, int index) { Child<QComboBox>(dlg, list)->setCurrentIndex(index); }
  void Run(const char* countText) {
    count->setText(countText);
    dlg.show();
    QTest::mouseClick(Child<QPushButton>(dlg, "btnRandomSound"), Qt::LeftButton);
  }
};

TEST_F(CopySounds, CopiesARunAndCloses) {
  SetSoundName(blofeld, Index('A', 5), "Five");
  Choose("cmbPrograms", 4);   // A5
  Choose("cmbBanks2", 3);     // D
  Choose("cmbPrograms2", 9);  // D10
  Run("3");
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(redrawn, (std::vector<int>{Index('D', 10), Index('D', 11), Index('D', 12)}));
  EXPECT_EQ(GetSoundName(blofeld, Index('D', 12)), "Five            ");
}

TEST_F(CopySounds, CountBoxTakesDigitsAndEditingKeysOnly) {
  count->selectAll();
  QTest::keyClicks(count, "200");
  EXPECT_EQ(count->text(), "128");
  count->selectAll();
  QTest::keyClick(count, Qt::Key_Backspace);
  EXPECT_EQ(count->text(), "1");
  // Each key in turn, with the text it leaves.
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* text;
  } steps[] = {
      {Qt::Key_A, {}, "1"},      {Qt::Key_Minus, {}, "1"},  {Qt::Key_Space, {}, "1"},  {Qt::Key_Period, {}, "1"},
      {Qt::Key_V, Qt::ControlModifier, "1"},                {Qt::Key_2, {}, "12"},     {Qt::Key_Home, {}, "12"},
      {Qt::Key_Delete, {}, "2"}, {Qt::Key_1, {}, "12"},     {Qt::Key_End, {}, "12"},   {Qt::Key_Backspace, {}, "1"},
      {Qt::Key_5, {}, "15"},     {Qt::Key_Left, {}, "15"},  {Qt::Key_0, {}, "105"},    {Qt::Key_Right, {}, "105"},
      {Qt::Key_Backspace, {}, "10"},
  };
  for (const auto& s : steps) {
    QTest::keyClick(count, s.key, s.mods);
    EXPECT_EQ(count->text().toStdString(), s.text) << QTest::toString(s.key);
  }

  Run("0");  // closes without copying
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(redrawn.empty());
}

TEST_F(CopySounds, EnterInTheCountBoxCopiesAndEscCloses) {
  SetSoundName(blofeld, Index('A', 1), "One");
  Choose("cmbPrograms2", 9);  // A10
  dlg.show();
  count->setFocus();
  count->selectAll();
  QTest::keyClicks(count, "2");
  QTest::keyClick(count, Qt::Key_Return);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(redrawn, (std::vector<int>{Index('A', 10), Index('A', 11)}));

  redrawn.clear();
  dlg.show();
  count->setFocus();
  QTest::keyClick(count, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_TRUE(redrawn.empty());
}

TEST_F(CopySounds, BankChangeKeepsProgramAndRefillsQuietly) {
  SetSoundName(blofeld, Index('C', 10), "In Bank C");
  Choose("cmbPrograms2", 9);
  Choose("cmbBanks2", 2);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms2")->currentText(), "10 In Bank C       ");
  EXPECT_EQ(dlg.DestinationIndex(), Index('C', 10));
  Choose("cmbBanks", 7);  // the source side is independent
  EXPECT_EQ(dlg.SourceIndex(), Index('H', 1));
}

TEST_F(CopySounds, RunPastTheEndFillsToH128AndStaysOpen) {
  SetSoundName(blofeld, 0, "Source");
  Choose("cmbBanks2", 7);
  Choose("cmbPrograms2", 124);  // H125
  Run("10");
  EXPECT_TRUE(dlg.isVisible());
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("H128"), std::string::npos);
  EXPECT_FALSE(Child<QLabel>(dlg, "lblError")->isHidden());
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms2")->itemText(127), "128 Source          ");
  dlg.reject();
}

std::string CopyTo(TfrmLocator& dlg) { return Child<QLabel>(dlg, "lblCopyTo")->text().toStdString(); }
QColor Warning(TfrmLocator& dlg) { return Child<QLabel>(dlg, "lblAchtung")->palette().color(QPalette::WindowText); }

TEST(TfrmLocator, LabelsAndWarningFollowTheLists) {
  BankSet set(BankSetKind::Virtual);
  SetSoundName(set, Index('H', 125), "Here");
  TfrmLocator dlg(10, 5, Index('H', 125), set);
  EXPECT_EQ(Child<QLabel>(dlg, "lblTotalSounds")->text(), "The file contain 10 sounds.");
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms")->currentText(), "125 Here            ");
  const struct {
    int bank, program;  // list rows, counted from 0
    const char* copyTo;
    bool red;
  } cases[] = {
      {7, 124, "Copy from Bank: HProgram: 125 to Bank: A Program: 1", true},  // past H128
      {7, 118, "Copy from Bank: HProgram: 119 to Bank: H Program: 128", false},
      {1, -1, "Copy from Bank: BProgram: 119 to Bank: B Program: 128", false},  // the program stays
      {0, 127, "Copy from Bank: AProgram: 128 to Bank: B Program: 9", false},
  };
  for (const auto& c : cases) {
    Child<QComboBox>(dlg, "cmbBanks")->setCurrentIndex(c.bank);
    if (c.program >= 0) Child<QComboBox>(dlg, "cmbPrograms")->setCurrentIndex(c.program);
    EXPECT_EQ(CopyTo(dlg), c.copyTo);
    EXPECT_EQ(Warning(dlg), c.red ? QColor(255, 0, 0) : QColor(0, 0, 0)) << c.copyTo;
  }
}

TEST(TfrmLocator, BoxesAndClosing) {
  BankSet set;
  TfrmLocator both(3, Index('C', 4), Index('C', 4), set);
  Child<QComboBox>(both, "cmbPrograms")->setCurrentIndex(9);
  auto* fromCurrent = Child<QCheckBox>(both, "CheckBox1");
  fromCurrent->setChecked(true);  // back to the current position, lists locked
  EXPECT_EQ(CopyTo(both), "Copy from Bank: CProgram: 4 to Bank: C Program: 6");
  EXPECT_FALSE(Child<QComboBox>(both, "cmbBanks")->isEnabled());
  Child<QCheckBox>(both, "CheckBox2")->setChecked(true);
  EXPECT_FALSE(fromCurrent->isEnabled());
  both.accept();
  EXPECT_EQ(both.StartIndex(), -1);

  TfrmLocator cancelled(3, 700, 700, set);
  Child<QComboBox>(cancelled, "cmbBanks")->setCurrentIndex(1);
  Child<QComboBox>(cancelled, "cmbPrograms")->setCurrentIndex(2);
  cancelled.show();
  QTest::keyClick(&cancelled, Qt::Key_Escape);  // Cancel still computes the answer
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_EQ(cancelled.StartIndex(), Index('B', 3));

  TfrmLocator current(3, 700, 5, set);
  Child<QCheckBox>(current, "CheckBox1")->setChecked(true);
  current.reject();
  EXPECT_EQ(current.StartIndex(), 700);
}

}  // namespace
}  // namespace tarvix

