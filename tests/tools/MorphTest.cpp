#include <gtest/gtest.h>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/Morph.h"

namespace tarvix {
namespace {

using test::NoiseSound;
using test::SentLog;

constexpr std::size_t kTuning[] = {9, 10, 11, 12, 25, 26, 27, 28, 41, 42, 43, 44};

bool IsTuning(std::size_t o) {
  for (auto t : kTuning)
    if (t == o) return true;
  return false;
}

TEST(MorphBlend, RoundsTowardsMinusInfinity) {
  EXPECT_EQ(BlendByte(0, 127, 50), 63);
  EXPECT_EQ(BlendByte(127, 0, 50), 63);  // 127 + floor(-63.5)
  EXPECT_EQ(BlendByte(10, 0, 5), 9);     // 10 + floor(-0.5)
  EXPECT_EQ(BlendByte(0, 10, 5), 0);
  EXPECT_EQ(BlendByte(100, 0, 1), 99);
  EXPECT_EQ(BlendByte(255, 0, 100), 0);
  EXPECT_EQ(BlendByte(0, 255, 100), 255);
}

struct MorphFixture : ::testing::Test {
  BankSet blofeld;
  SentLog sent;
  Morph morph{blofeld, sent.Fn()};
  MorphFixture() { test::FillNoise(blofeld, 11); }
  SoundData ResultAt(int percent) {
    morph.TrackBarMoved(percent);
    EXPECT_TRUE(morph.Timer1Timer());
    return *morph.SavedSound();
  }
};

TEST_F(MorphFixture, EndsReproduceTheSoundsAndTheOptionPinsTheTuning) {
  morph.ChooseSounds(3, 900);
  SoundData s1 = blofeld.Sound(3), s2 = blofeld.Sound(900);
  for (bool detune : {true, false}) {
    morph.SetWithDetune(detune);
    const SoundData at0 = ResultAt(0), at100 = ResultAt(100);
    for (std::size_t o = 0; o < kSoundSize; ++o) {
      if (o == 5 || o == 6 || o == 64 || o == 65 || o == 390) continue;
      if (!detune && IsTuning(o)) {
        const std::uint8_t fixed[] = {64, 64, 66, 96};  // band range +2 in its centred byte
        EXPECT_EQ(at0[o], fixed[(o - 9) % 16]) << o;
        EXPECT_EQ(at100[o], fixed[(o - 9) % 16]) << o;
        continue;
      }
      EXPECT_EQ(at0[o], s1[o]) << o;
      EXPECT_EQ(at100[o], s2[o]) << o;
    }
    // Glide and allocation always come from the first sound.
    EXPECT_EQ(at100[64], s1[64]);
    EXPECT_EQ(at100[65], s1[65]);
  }
}

TEST_F(MorphFixture, NothingIsComputedUntilTheTrackBarMoves) {
  EXPECT_FALSE(morph.Timer1Timer());
  EXPECT_FALSE(morph.CanSave());
  morph.ChooseSounds(1, std::nullopt);
  EXPECT_FALSE(morph.TrackBarEnabled());
  morph.ChooseSounds(1, 2);
  EXPECT_TRUE(morph.TrackBarEnabled());
  EXPECT_FALSE(morph.Timer1Timer());  // choosing arms nothing
  morph.TrackBarMoved(30);
  morph.TrackBarMoved(70);
  EXPECT_TRUE(morph.Timer1Timer());   // several moves, one computation at the last position
  EXPECT_EQ(morph.PercentText(), "70 %");
  EXPECT_FALSE(morph.Timer1Timer());
  sent.messages.clear();
  morph.ChooseSounds(5, 6);           // a list change alone sends nothing
  EXPECT_FALSE(morph.Timer1Timer());
  EXPECT_TRUE(sent.messages.empty());
}

TEST_F(MorphFixture, ListChangeResendsEveryParameterButGlideAndAllocation) {
  morph.ChooseSounds(10, 20);
  morph.TrackBarMoved(40);
  morph.Timer1Timer();
  std::vector<int> all;
  for (int p = 0; p <= 382; ++p)
    if (p != 57 && p != 58) all.push_back(p);
  EXPECT_EQ(sent.Params(), all);  // ascending, header and trailer never sent

  // The same blend again after a list change still goes out whole.
  sent.messages.clear();
  morph.ChooseSounds(10, 20);
  morph.TrackBarMoved(40);
  morph.Timer1Timer();
  EXPECT_EQ(sent.Params(), all);
  // And after the option box, too.
  sent.messages.clear();
  morph.SetWithDetune(true);
  morph.TrackBarMoved(40);
  morph.Timer1Timer();
  EXPECT_EQ(sent.Params(), all);
}

TEST_F(MorphFixture, SmallMoveSendsOnlyBytesThatChangedWithTheirBlendedValues) {
  blofeld.Sound(0).bytes.fill(0);
  blofeld.Sound(1).bytes.fill(0);
  blofeld.Sound(1)[100] = blofeld.Sound(1)[64] = blofeld.Sound(1)[65] = 127;  // 64/65 never sent
  morph.ChooseSounds(0, 1);
  morph.TrackBarMoved(0);
  morph.Timer1Timer();
  sent.messages.clear();
  morph.TrackBarMoved(50);
  morph.Timer1Timer();
  ASSERT_EQ(sent.messages.size(), 1u);
  EXPECT_EQ(sent.messages[0], std::make_pair(93, 63));
}

TEST_F(MorphFixture, SavedSoundHasZeroPositionAnyChecksumAndFirstSoundsGlide) {
  blofeld.Sound(7)[390] = 100;
  blofeld.Sound(8)[390] = 0;
  blofeld.Sound(7)[5] = 3;
  morph.ChooseSounds(7, 8);
  const SoundData s = ResultAt(50);
  EXPECT_EQ(s[0], 0xF0);
  EXPECT_EQ(s[5], 0);
  EXPECT_EQ(s[6], 0);
  EXPECT_EQ(s[390], 0x7F);  // not the meaningless blend 50
  EXPECT_EQ(s[391], 0xF7);
  EXPECT_EQ(s[64], blofeld.Sound(7)[64]);
  EXPECT_EQ(s[65], blofeld.Sound(7)[65]);
  // A later option click refills the send buffer, not what a save writes.
  morph.SetWithDetune(true);
  EXPECT_EQ(*morph.SavedSound(), s);
  EXPECT_EQ(MorphedSound(blofeld.Sound(7), blofeld.Sound(8), 50, false), s);
}

}  // namespace
}  // namespace tarvix
