#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/TfrmCopySounds.h"
#include "tools/TfrmLocator.h"
#include "tools/TfrmLocker.h"
#include "tools/TfrmMorph.h"
#include "tools/TfrmParameterListView.h"
#include "tools/TfrmSelectLocation.h"

namespace tarvix {
namespace {

using namespace test;

template <typename W>
W* Child(QWidget& w, const char* name) {
  W* c = w.findChild<W*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

struct MorphWindow : ::testing::Test {
  BankSet blofeld;
  SentLog sent;
  test::ScriptedPrompter prompter;
  RandomSource random{4242};
  MorphWindow() {
    test::FillNoise(blofeld, 3);
    SetSoundName(blofeld.Sound(0), "First");
    SetSoundName(blofeld.Sound(1023), "Last");
  }
};

TEST_F(MorphWindow, OpensEmptyFindsSoundsByTypingAndComputesOnlyAfterTheBarMoves) {
  TfrmMorph w(blofeld, sent.Fn(), prompter, random);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto *s1 = Child<QComboBox>(w, "cmbSound1"), *s2 = Child<QComboBox>(w, "cmbSound2");
  auto* bar = Child<QSlider>(w, "trbMorph");
  auto* save = Child<QPushButton>(w, "btnSave");
  EXPECT_EQ(s2->itemText(1023), "H128 Last            ");
  EXPECT_TRUE(s1->currentIndex() == -1 && !bar->isEnabled() && !save->isEnabled());

  s2->setFocus();  // 1024 entries: typing part of a name finds the sound
  QTest::keyClicks(s2->lineEdit(), "last");
  ASSERT_EQ(s2->completer()->completionCount(), 1);
  QTest::keyClick(s2->completer()->popup(), Qt::Key_Down);
  QTest::keyClick(s2->completer()->popup(), Qt::Key_Return);
  EXPECT_EQ(s2->currentIndex(), 1023);
  EXPECT_FALSE(bar->isEnabled());

  s1->setCurrentIndex(5);
  EXPECT_TRUE(bar->isEnabled());
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_End);
  EXPECT_EQ(Child<QLabel>(w, "lbkPercent")->text(), "100 %");  // at once
  EXPECT_TRUE(sent.messages.empty());  // the blend waits
  w.Timer1Timer();
  EXPECT_EQ(sent.messages.size(), 381u);
  EXPECT_TRUE(save->isEnabled());

  // The option box forces a full resend at the next computation.
  sent.messages.clear();
  QTest::mouseClick(Child<QCheckBox>(w, "chbDetune"), Qt::LeftButton);
  w.Timer1Timer();
  EXPECT_TRUE(sent.messages.empty());
  QTest::keyClick(bar, Qt::Key_Left);
  w.Timer1Timer();
  EXPECT_EQ(sent.messages.size(), 381u);
}

TEST_F(MorphWindow, RandomizeSelectsWithoutRefillAndSaveWritesTheBlend) {
  TfrmMorph w(blofeld, sent.Fn(), prompter, random);
  w.show();
  QTest::mouseClick(Child<QPushButton>(w, "btnRandomizeSounds"), Qt::LeftButton);
  RandomSource replay(4242);
  const int i1 = static_cast<int>(replay.Random(1024));
  EXPECT_EQ(Child<QComboBox>(w, "cmbSound1")->currentIndex(), i1);
  EXPECT_EQ(Child<QComboBox>(w, "cmbSound2")->currentIndex(), static_cast<int>(replay.Random(1024)));
  w.Timer1Timer();
  // The send buffer started all zero and was not refilled: zero bytes of the first sound are not sent.
  std::size_t nonzero = 0;
  SoundData first = blofeld.Sound(i1);
  FixOscillatorTuning(first);
  for (std::size_t o = 7; o <= 389; ++o)
    if (o != 64 && o != 65 && first[o] != 0) ++nonzero;
  EXPECT_EQ(sent.messages.size(), nonzero);

  test::TempDir dir;
  const auto file = dir / "m.syx";
  test::WriteAll(file, {1, 2, 3});
  prompter.saveName = file.string();
  prompter.answers = {Answer::No, Answer::Cancel, Answer::Yes};
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  EXPECT_EQ(test::ReadAll(file), (std::vector<std::uint8_t>{1, 2, 3}));
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  const SoundData expected = *w.Core().SavedSound();
  EXPECT_EQ(test::ReadAll(file), std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));

  // A write error is shown, not thrown.
  prompter.saveName = (dir / "no" / "x.syx").string();
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  EXPECT_NE(prompter.asked.back().find("x.syx"), std::string::npos);
}

struct LockerWindow : MorphWindow {
  SoundData start = test::NoiseSound(77);
};

TEST_F(LockerWindow, BrowsingLockingSwappingAndSaving) {
  TfrmLocker w(blofeld, start, sent.Fn(), prompter, random);
  w.show();
  auto* banks = Child<QComboBox>(w, "cmbBanks");
  auto* programs = Child<QComboBox>(w, "cmbPrograms");
  EXPECT_EQ(programs->itemText(0), "1 First           ");
  EXPECT_EQ(Child<QLabel>(w, "lblFilterRouting")->text(), "Filter Routing:  " + QString::number(start[124]));
  w.Timer1Timer();
  w.Timer2Timer();
  EXPECT_TRUE(sent.messages.empty());  // opening sends nothing

  // B17, then bank D: D17 is merged.
  banks->setCurrentIndex(1);
  programs->setCurrentIndex(16);
  banks->setCurrentIndex(3);
  w.Timer1Timer();
  EXPECT_EQ(Child<QLabel>(w, "lblFilterRouting")->text(),
            "Filter Routing:  " + QString::number(blofeld.Sound(3 * 128 + 16)[124]));

  // Lock everything: browsing changes nothing.
  for (const auto& g : LockGroups()) {
    auto* box = w.findChild<QCheckBox*>(QString::fromLatin1(g.name.data(), static_cast<qsizetype>(g.name.size())));
    ASSERT_NE(box, nullptr);
    // Click the indicator: a check box only reacts on its box and text.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    ASSERT_TRUE(box->isChecked()) << g.name;
  }
  const SoundData locked = w.WorkSound();
  sent.messages.clear();
  banks->setCurrentIndex(7);
  programs->setCurrentIndex(127);
  QTest::mouseClick(Child<QPushButton>(w, "btnNextSound"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "btnPrevSound"), Qt::LeftButton);
  EXPECT_TRUE(banks->currentIndex() == 7 && programs->currentIndex() == 127);
  QTest::mouseClick(Child<QPushButton>(w, "btnRandomSound"), Qt::LeftButton);
  EXPECT_TRUE(banks->currentIndex() + 1 == w.Core().SelBank && programs->currentIndex() + 1 == w.Core().SelProgram);
  w.Timer1Timer();
  EXPECT_EQ(w.WorkSound(), locked);

  // A swap goes out at the next Timer2 tick; the saved file holds it.
  QTest::mouseClick(Child<QPushButton>(w, "btnswapLFO1LFO2"), Qt::LeftButton);
  w.Timer2Timer();
  EXPECT_FALSE(sent.messages.empty());
  test::TempDir dir;
  prompter.saveName = (dir / "l.syx").string();
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  const auto bytes = test::ReadAll(dir / "l.syx");
  ASSERT_EQ(bytes.size(), 392u);
  EXPECT_EQ(std::vector<int>({bytes[5], bytes[6], bytes[172], bytes[390]}), std::vector<int>({0, 0, locked[184], 127}));
}

TEST(TfrmCopySounds, CountBoxCopyRunsEnterEscAndARunPastTheEnd) {
  BankSet blofeld;
  MemoryLog log;
  std::vector<int> redrawn;
  TfrmCopySounds dlg{blofeld, log, [&](int i) { redrawn.push_back(i); }};
  QLineEdit* count = Child<QLineEdit>(dlg, "edtCount");
  auto choose = [&](const char* list, int index) { Child<QComboBox>(dlg, list)->setCurrentIndex(index); };
  auto run = [&](const char* countText) {
    count->setText(countText);
    dlg.show();
    QTest::mouseClick(Child<QPushButton>(dlg, "btnRandomSound"), Qt::LeftButton);
  };

  // The count box takes digits and editing keys only.
  count->selectAll();
  QTest::keyClicks(count, "200");
  EXPECT_EQ(count->text(), "128");
  QTest::keyClicks(count, "\b\b\ba-. 2");  // emptied it reads 1; signs and letters are swallowed
  QTest::keyClick(count, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(count->text(), "12");
  // Each moving or deleting key changes where the next digit lands, so the end text needs every one of them.
  for (Qt::Key k : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_1, Qt::Key_End, Qt::Key_Backspace, Qt::Key_5, Qt::Key_Left,
                    Qt::Key_0, Qt::Key_Right, Qt::Key_Backspace})
    QTest::keyClick(count, k);
  EXPECT_EQ(count->text(), "10");
  run("0");  // closes without copying
  EXPECT_FALSE(dlg.isVisible());

  // A bank change keeps the program and refills quietly; the source side is independent.
  SetSoundName(blofeld, Index('C', 10), "In Bank C");
  choose("cmbPrograms2", 9);
  choose("cmbBanks2", 2);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms2")->currentText(), "10 In Bank C       ");
  choose("cmbBanks", 7);
  EXPECT_EQ(dlg.SourceIndex(), Index('H', 1));

  SetSoundName(blofeld, Index('A', 5), "Five");  // A5 to D10, three times, by Enter in the count box
  choose("cmbBanks", 0);
  choose("cmbPrograms", 4);
  choose("cmbBanks2", 3);
  dlg.show();
  count->setFocus();
  count->selectAll();
  QTest::keyClicks(count, "3");
  QTest::keyClick(count, Qt::Key_Return);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(redrawn, (std::vector<int>{Index('D', 10), Index('D', 11), Index('D', 12)}));
  EXPECT_EQ(GetSoundName(blofeld, Index('D', 12)), "Five            ");
  dlg.show();  // Esc closes
  count->setFocus();
  QTest::keyClick(count, Qt::Key_Escape);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);

  // A run past the end fills up to H128, says so and stays open.
  choose("cmbBanks2", 7);
  choose("cmbPrograms2", 124);
  run("10");
  EXPECT_TRUE(dlg.isVisible());
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("H128"), std::string::npos);
  EXPECT_FALSE(Child<QLabel>(dlg, "lblError")->isHidden());
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbPrograms2")->itemText(127), "128 Five            ");
  dlg.reject();
}

std::string CopyTo(TfrmLocator& dlg) { return Child<QLabel>(dlg, "lblCopyTo")->text().toStdString(); }

TEST(TfrmLocator, LabelsWarningBoxesAndClosing) {
  BankSet set(BankSetKind::Virtual);
  SetSoundName(set, Index('H', 125), "Here");
  TfrmLocator dlg(10, 5, Index('H', 125), set);
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
    EXPECT_EQ(Child<QLabel>(dlg, "lblAchtung")->palette().color(QPalette::WindowText),
              c.red ? QColor(255, 0, 0) : QColor(0, 0, 0))
        << c.copyTo;
  }
  dlg.show();
  QTest::keyClick(&dlg, Qt::Key_Escape);  // Cancel still computes the answer
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(dlg.StartIndex(), Index('A', 128));

  TfrmLocator both(3, Index('C', 4), 5, set);
  Child<QComboBox>(both, "cmbPrograms")->setCurrentIndex(9);
  auto* fromCurrent = Child<QCheckBox>(both, "CheckBox1");
  fromCurrent->setChecked(true);  // back to the current position, lists locked
  EXPECT_EQ(CopyTo(both), "Copy from Bank: CProgram: 4 to Bank: C Program: 6");
  EXPECT_FALSE(Child<QComboBox>(both, "cmbBanks")->isEnabled());
  both.reject();
  EXPECT_EQ(both.StartIndex(), Index('C', 4));
  Child<QCheckBox>(both, "CheckBox2")->setChecked(true);
  EXPECT_FALSE(fromCurrent->isEnabled());
  both.accept();
  EXPECT_EQ(both.StartIndex(), -1);
}

TEST(TfrmParameterListView, ButtonsChangeOnlyTheTicksAndEveryCloseRebuildsTheMask) {
  const QStringList five{"one", "two", "three", "four", "five"};
  TfrmParameterListView view;
  auto ticks = [&] { return QString::fromStdString(MaskOf(view.CurrentTicks())); };
  view.SetItems(five, "0101");  // a short mask leaves the rest unticked
  view.Button2->click();
  EXPECT_EQ(ticks(), "10101");

  view.SetItems(five, "00001");
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  // The list has the focus (so a current row) but no selected row: "Select to" and "Select from" change nothing.
  view.CheckListBox1->setFocus();
  QTest::mouseClick(view.Button3, Qt::LeftButton);
  QTest::mouseClick(view.Button4, Qt::LeftButton);
  EXPECT_EQ(ticks(), "00001");
  auto clickRow = [&](int row) {
    const QRect r = view.CheckListBox1->visualItemRect(view.CheckListBox1->item(row));
    QTest::mouseClick(view.CheckListBox1->viewport(), Qt::LeftButton, {}, QPoint(r.right() - 5, r.center().y()));
  };
  clickRow(2);
  QTest::mouseClick(view.Button3, Qt::LeftButton);
  EXPECT_EQ(ticks(), "11101");
  view.SetItems(five, "10000");
  clickRow(3);
  QTest::mouseClick(view.Button4, Qt::LeftButton);
  EXPECT_EQ(ticks(), "10011");
  view.btnSelectAll->click();
  EXPECT_EQ(ticks(), "11111");

  // Ok accepts; Esc and the close box rebuild the mask but do not accept.
  view.open();
  view.Button1->click();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(view.Mask(), "11111");
  view.SetItems(five, "11000");
  view.open();
  view.CheckListBox1->setFocus();
  QTest::keyClick(view.CheckListBox1, Qt::Key_Escape);
  EXPECT_EQ(view.result(), QDialog::Rejected);
  EXPECT_EQ(view.Mask(), "11000");
  view.CheckListBox1->item(4)->setCheckState(Qt::Checked);
  view.open();
  view.close();
  EXPECT_EQ(view.result(), QDialog::Rejected);
  EXPECT_EQ(view.Mask(), "11001");
}

TEST(TfrmSelectLocation, ShowsTheChosenBanksNamesAndReturnsTheChoice) {
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

  dlg.SetLocation(3, 127);
  dlg.SetLocation(8, -1);  // out of range: kept
  EXPECT_TRUE(dlg.Bank() == 3 && dlg.Program() == 127);
  dlg.open();
  dlg.Button1->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  dlg.open();
  dlg.Button2->click();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace tarvix
