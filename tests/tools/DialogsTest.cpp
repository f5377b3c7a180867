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

void Name(BankSet& set, int i, const std::string& name) {
  SetSoundName(set, i, name);
  set.Sound(i)[200] = static_cast<std::uint8_t>(i & 0x7F);
}

struct CopySoundsFixture : ::testing::Test {
  BankSet blofeld;
  MemoryLog log;
  std::vector<int> redrawn;
  TfrmCopySounds dlg{blofeld, log, [this](int i) { redrawn.push_back(i); }};
  QLineEdit* count = Child<QLineEdit>(dlg, "edtCount");

  void Type(const QString& keys) {
    count->setFocus();
    count->end(false);
    QTest::keyClicks(count, keys);
  }
  void Click() { QTest::mouseClick(Child<QPushButton>(dlg, "btnRandomSound"), Qt::LeftButton); }
};

TEST_F(CopySoundsFixture, CopiesARunAndCloses) {
  for (int i = 0; i < kSlotCount; ++i) Name(blofeld, i, "S" + std::to_string(i));
  EXPECT_EQ(dlg.windowTitle(), "Copy Sounds");
  EXPECT_EQ(count->text(), "1");
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms")->count(), 0 + 128);

  Child<QComboBox>(dlg, "cmbPrograms")->setCurrentIndex(4);  // A5
  Child<QComboBox>(dlg, "cmbBanks2")->setCurrentIndex(3);    // D
  Child<QComboBox>(dlg, "cmbPrograms2")->setCurrentIndex(9);  // D10
  count->selectAll();
  QTest::keyClicks(count, "3");
  dlg.show();
  Click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(redrawn, (std::vector<int>{Index('D', 10), Index('D', 11), Index('D', 12)}));
  for (int i : redrawn) {
    EXPECT_EQ(blofeld.Sound(i), blofeld.Sound(Index('A', 5)));
    EXPECT_TRUE(blofeld.Changed(i));
  }
  EXPECT_FALSE(blofeld.Changed(Index('D', 13)));
  EXPECT_EQ(GetSoundName(blofeld, Index('D', 13)), "S396            ");
}

TEST_F(CopySoundsFixture, CountBoxRule) {
  count->selectAll();
  QTest::keyClicks(count, "200");
  EXPECT_EQ(count->text(), "128");
  count->selectAll();
  QTest::keyClick(count, Qt::Key_Backspace);
  EXPECT_EQ(count->text(), "1");
  Type("a");
  EXPECT_EQ(count->text(), "1");
  Type("-");
  QTest::keyClick(count, Qt::Key_Delete);
  QTest::keyClick(count, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(count->text(), "1");
  Type("2");
  EXPECT_EQ(count->text(), "12");
}

TEST_F(CopySoundsFixture, CountZeroClosesWithoutCopying) {
  count->selectAll();
  QTest::keyClicks(count, "0");
  EXPECT_EQ(count->text(), "0");
  dlg.show();
  Click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(redrawn.empty());
  for (int i = 0; i < kSlotCount; ++i) ASSERT_FALSE(blofeld.Changed(i));
}

TEST_F(CopySoundsFixture, BankChangeKeepsProgramAndRefillsQuietly) {
  Name(blofeld, Index('C', 10), "In Bank C");
  auto* programs2 = Child<QComboBox>(dlg, "cmbPrograms2");
  programs2->setCurrentIndex(9);
  Child<QComboBox>(dlg, "cmbBanks2")->setCurrentIndex(2);
  EXPECT_EQ(programs2->currentIndex(), 9);
  EXPECT_EQ(programs2->currentText(), "10 In Bank C       ");
  EXPECT_EQ(dlg.DestinationIndex(), Index('C', 10));
  // The source side is independent.
  EXPECT_EQ(dlg.SourceIndex(), 0);
  Child<QComboBox>(dlg, "cmbBanks")->setCurrentIndex(7);
  EXPECT_EQ(dlg.SourceIndex(), Index('H', 1));
}

TEST_F(CopySoundsFixture, RunPastTheEndFillsToH128AndStaysOpen) {
  Name(blofeld, 0, "Source");
  Child<QComboBox>(dlg, "cmbBanks2")->setCurrentIndex(7);
  Child<QComboBox>(dlg, "cmbPrograms2")->setCurrentIndex(124);  // H125
  count->selectAll();
  QTest::keyClicks(count, "10");
  dlg.show();
  Click();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(redrawn, (std::vector<int>{1020, 1021, 1022, 1023}));
  EXPECT_EQ(GetSoundName(blofeld, 1023), "Source          ");
  EXPECT_FALSE(blofeld.Changed(1));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("H128"), std::string::npos);
  EXPECT_FALSE(Child<QLabel>(dlg, "lblError")->isHidden());
  dlg.reject();
}

// ---- locator ----

QColor WarningColour(TfrmLocator& dlg) { return Child<QLabel>(dlg, "lblAchtung")->palette().color(QPalette::WindowText); }
std::string CopyTo(TfrmLocator& dlg) { return Child<QLabel>(dlg, "lblCopyTo")->text().toStdString(); }

TEST(TfrmLocator, LabelsFollowTheLists) {
  BankSet set(BankSetKind::Virtual);
  Name(set, Index('H', 125), "Here");
  TfrmLocator dlg(10, 5, Index('H', 125), set);
  EXPECT_EQ(dlg.windowTitle(), "Open Sounds Locator");
  EXPECT_EQ(Child<QLabel>(dlg, "lblTotalSounds")->text(), "The file contain 10 sounds.");
  EXPECT_EQ(Child<QLabel>(dlg, "lblAchtung")->text(), "After Bank H Program 128 will load Bank A Program 1");
  EXPECT_EQ(CopyTo(dlg), "Copy from Bank: HProgram: 125 to Bank: A Program: 1");
  EXPECT_EQ(WarningColour(dlg), QColor(255, 0, 0));
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms")->currentText(), "125 Here            ");

  Child<QComboBox>(dlg, "cmbPrograms")->setCurrentIndex(118);  // H119
  EXPECT_EQ(CopyTo(dlg), "Copy from Bank: HProgram: 119 to Bank: H Program: 128");
  EXPECT_EQ(WarningColour(dlg), QColor(0, 0, 0));

  Child<QComboBox>(dlg, "cmbBanks")->setCurrentIndex(1);  // B119: program kept
  EXPECT_EQ(CopyTo(dlg), "Copy from Bank: BProgram: 119 to Bank: B Program: 128");
}

TEST(TfrmLocator, BoxesAndClosing) {
  BankSet set;
  {
    TfrmLocator dlg(3, Index('C', 4), Index('C', 4), set);
    Child<QComboBox>(dlg, "cmbBanks")->setCurrentIndex(0);
    Child<QComboBox>(dlg, "cmbPrograms")->setCurrentIndex(9);
    auto* box1 = Child<QCheckBox>(dlg, "CheckBox1");
    box1->setChecked(true);  // back to the current position, lists locked
    EXPECT_EQ(CopyTo(dlg), "Copy from Bank: CProgram: 4 to Bank: C Program: 6");
    EXPECT_FALSE(Child<QComboBox>(dlg, "cmbBanks")->isEnabled());
    auto* box2 = Child<QCheckBox>(dlg, "CheckBox2");
    box2->setChecked(true);
    EXPECT_FALSE(box1->isEnabled());
    EXPECT_TRUE(box1->isChecked());
    dlg.accept();
    EXPECT_EQ(dlg.StartIndex(), -1);  // both ticked: own positions
  }
  {
    TfrmLocator dlg(3, 700, 700, set);
    Child<QComboBox>(dlg, "cmbBanks")->setCurrentIndex(1);
    Child<QComboBox>(dlg, "cmbPrograms")->setCurrentIndex(2);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);  // Cancel still computes the answer
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.StartIndex(), Index('B', 3));
  }
  {
    TfrmLocator dlg(3, 700, 5, set);
    Child<QCheckBox>(dlg, "CheckBox1")->setChecked(true);
    dlg.reject();
    EXPECT_EQ(dlg.StartIndex(), 700);
  }
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
