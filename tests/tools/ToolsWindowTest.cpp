#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/TfrmLocker.h"
#include "tools/TfrmMorph.h"

namespace tarvix {
namespace {

using test::SentLog;

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
  auto percent = [&] { return Child<QLabel>(w, "lbkPercent")->text(); };
  ASSERT_EQ(s1->count(), 1024);
  EXPECT_EQ(s1->itemText(0), "A001 First           ");
  EXPECT_EQ(s2->itemText(1023), "H128 Last            ");
  EXPECT_EQ(s1->currentIndex(), -1);
  EXPECT_FALSE(bar->isEnabled() || save->isEnabled());

  // 1024 entries: typing part of a name finds the sound.
  ASSERT_TRUE(s2->isEditable());
  s2->setFocus();
  QTest::keyClicks(s2->lineEdit(), "last");
  QAbstractItemView* popup = s2->completer()->popup();
  ASSERT_TRUE(popup->isVisible());
  ASSERT_EQ(s2->completer()->completionCount(), 1);
  QTest::keyClick(popup, Qt::Key_Down);
  QTest::keyClick(popup, Qt::Key_Return);
  EXPECT_EQ(s2->currentIndex(), 1023);
  EXPECT_EQ(s1->currentIndex(), -1);
  EXPECT_FALSE(bar->isEnabled());

  s1->setCurrentIndex(5);
  EXPECT_TRUE(bar->isEnabled());
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_End);  // to 100 %
  EXPECT_EQ(percent(), "100 %");         // at once
  EXPECT_TRUE(sent.messages.empty());  // the blend waits
  w.Timer1Timer();
  EXPECT_EQ(percent(), "100 %");
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
  EXPECT_EQ(percent(), "99 %");
}

TEST_F(MorphWindow, RandomizeSelectsWithoutRefillAndSaveWritesTheBlend) {
  TfrmMorph w(blofeld, sent.Fn(), prompter, random);
  w.show();
  QTest::mouseClick(Child<QPushButton>(w, "btnRandomizeSounds"), Qt::LeftButton);
  RandomSource replay(4242);
  const int i1 = static_cast<int>(replay.Random(1024));
  EXPECT_EQ(Child<QComboBox>(w, "cmbSound1")->currentIndex(), i1);
  EXPECT_EQ(Child<QComboBox>(w, "cmbSound2")->currentIndex(), static_cast<int>(replay.Random(1024)));
  EXPECT_EQ(Child<QSlider>(w, "trbMorph")->value(), 0);
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
  prompter.answers = {Answer::No, Answer::Yes};
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  EXPECT_EQ(test::ReadAll(file), (std::vector<std::uint8_t>{1, 2, 3}));
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  const SoundData expected = *w.Core().SavedSound();
  EXPECT_EQ(test::ReadAll(file), std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
  EXPECT_EQ(expected[64], blofeld.Sound(i1)[64]);

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
  EXPECT_EQ(programs->currentIndex(), 16);
  w.Timer1Timer();
  EXPECT_EQ(w.WorkSound()[100], blofeld.Sound(3 * 128 + 16)[100]);
  EXPECT_EQ(Child<QLabel>(w, "lblFilterRouting")->text(), "Filter Routing:  " + QString::number(blofeld.Sound(3 * 128 + 16)[124]));

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
  EXPECT_TRUE(banks->currentIndex() == 0 && programs->currentIndex() == 0);
  QTest::mouseClick(Child<QPushButton>(w, "btnPrevSound"), Qt::LeftButton);
  EXPECT_TRUE(banks->currentIndex() == 7 && programs->currentIndex() == 127);
  QTest::mouseClick(Child<QPushButton>(w, "btnRandomSound"), Qt::LeftButton);
  EXPECT_TRUE(banks->currentIndex() + 1 == w.Core().SelBank && programs->currentIndex() + 1 == w.Core().SelProgram);
  w.Timer1Timer();
  EXPECT_EQ(w.WorkSound(), locked);
  EXPECT_TRUE(sent.messages.empty());

  // A swap goes out at the next Timer2 tick; the saved file holds it.
  QTest::mouseClick(Child<QPushButton>(w, "btnswapLFO1LFO2"), Qt::LeftButton);
  w.Timer2Timer();
  EXPECT_FALSE(sent.messages.empty());
  test::TempDir dir;
  prompter.saveName = (dir / "l.syx").string();
  QTest::mouseClick(Child<QPushButton>(w, "btnSave"), Qt::LeftButton);
  const auto bytes = test::ReadAll(dir / "l.syx");
  ASSERT_EQ(bytes.size(), 392u);
  EXPECT_TRUE(bytes[172] == locked[184] && bytes[390] == 127);
}

}  // namespace
}  // namespace tarvix
