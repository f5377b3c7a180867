#include <gtest/gtest.h>

#include "editor/EnvelopeShape.h"
#include "editor/WaveCurves.h"

namespace tarvix {
namespace {

constexpr int W = 211, H = 66;

// The bytes are mode, attack, attack level, decay, sustain, decay 2, sustain 2, release.
std::optional<EnvelopeShape> Shape(int envelope, std::initializer_list<int> bytes) {
  SoundData s{};
  int k = 0;
  for (int b : bytes) {
    if (k == 1) k = 3;  // bytes 1 and 2 of an envelope are not part of its shape
    s[static_cast<std::size_t>(EnvelopeBaseOffset(envelope) + k++)] = static_cast<std::uint8_t>(b);
  }
  return EnvelopeShapeOf(s, envelope, W, H);
}

std::string Texts(const EnvelopeShape& e) {
  std::string out;
  for (const auto& t : e.texts) out += t.text + "@" + std::to_string(t.at.x) + "," + std::to_string(t.at.y) + " ";
  return out;
}

using P = std::vector<PicturePoint>;

TEST(EnvelopeShapeTest, PointsOfEachMode) {
  const auto adsr = Shape(0, {0, 0, 0, 64, 64, 0, 0, 64}).value();
  EXPECT_EQ(adsr.points, P({{1, 66}, {1, 1}, {1 + 24, 32}, {140, 32}, {172, 64}}));
  EXPECT_EQ(Texts(adsr), "");
  // Attack 31 / 1.55 is exactly 20; 127 / 1.55 rounds to 82.
  EXPECT_EQ(Shape(1, {0, 31}).value().points[1], (PicturePoint{21, 1}));
  EXPECT_EQ(Shape(1, {0, 127}).value().points[1], (PicturePoint{83, 1}));
  // The trigger bit is ignored; the curve then follows the mode.
  const auto two = Shape(2, {32 + 1, 20, 100, 25, 80, 30, 40, 90}).value();
  EXPECT_EQ(two.mode, 1);
  EXPECT_EQ(two.points, P({{1, 66}, {11, 14}, {21, 24}, {36, 44}, {156, 44}, {186, 64}}));
  EXPECT_EQ(Shape(3, {2, 20, 100, 25, 80, 30, 40, 90}).value().points,
            P({{1, 66}, {11, 14}, {21, 24}, {36, 44}, {66, 64}}));  // one shot
  EXPECT_EQ(Texts(Shape(0, {3, 20, 100, 25, 80, 30, 40, 90}).value()), "->@11,18 <-@156,48 ");
  // 36 is "single" + "Loop All"; 37 is no mode at all.
  const auto all = Shape(1, {36, 20, 100, 25, 80, 30, 40, 90}).value();
  EXPECT_EQ(all.mode, 4);
  EXPECT_EQ(all.points.size(), 6u);
  EXPECT_EQ(Texts(all), "->@2,6 <-@" + std::to_string(W - 16) + ",6 ");
  EXPECT_FALSE(Shape(1, {37}));
  EXPECT_FALSE(EnvelopeShapeOf(SoundData{}, 4, W, H));
}

// Long stages push the sustain right of decay 2, and the whole curve is narrowed to end at the right edge.
TEST(EnvelopeShapeTest, LongStagesAreNarrowedToFitInOrder) {
  EXPECT_EQ(Shape(0, {1, 127, 100, 127, 64, 127, 30, 127}).value().points,
            P({{1, 66}, {61, 14}, {108, 32}, {168, 49}, {168, 49}, {209, 64}}));
  EXPECT_EQ(Shape(0, {2, 127, 100, 127, 64, 127, 30, 127}).value().points,
            P({{1, 66}, {61, 14}, {108, 32}, {168, 49}, {209, 64}}));  // one shot
}

TEST(WaveCurvesTest, LfoFollowsShapeSpeedDelayAndFade) {
  SoundData s{};
  const int base = LfoBaseOffset(1);
  s[base] = 2;        // square
  s[base + 1] = 64;   // two cycles across the picture
  s[base + 7] = 64;   // no fade
  auto c = LfoCurve(s, 1, 200);
  ASSERT_TRUE(c);
  int edges = 0;
  for (std::size_t x = 1; x < c->size(); ++x) edges += ((*c)[x] > 0) != ((*c)[x - 1] > 0);
  EXPECT_EQ(edges, 3);  // + - + - over two cycles
  EXPECT_DOUBLE_EQ(LfoCycles(0), 0.5);
  EXPECT_NEAR(LfoCycles(127), 7.8, 0.1);

  s[base + 6] = 127;  // delay: silent for the first half
  c = LfoCurve(s, 1, 200);
  for (int x = 0; x < 99; ++x) EXPECT_EQ((*c)[x], 0.0);
  EXPECT_NE((*c)[150], 0.0);

  s[base] = 0, s[base + 6] = 0, s[base + 7] = 127, s[base + 1] = 127;  // sine fading in over half the picture
  c = LfoCurve(s, 1, 200);
  double early = 0, late = 0;
  for (int x = 0; x < 40; ++x) early = std::max(early, std::abs((*c)[x]));
  for (int x = 120; x < 200; ++x) late = std::max(late, std::abs((*c)[x]));
  EXPECT_LT(early, 0.5);
  EXPECT_GT(late, 0.95);

  s[base + 5] = 32;  // start phase about 90 degrees: a sine starts near its top
  s[base + 7] = 64;
  EXPECT_GT(LfoCurve(s, 1, 200)->front(), 0.9);

  s[base] = 6;
  EXPECT_FALSE(LfoCurve(s, 1, 200));
}

TEST(WaveCurvesTest, OscillatorPitchAndPulsewidth) {
  SoundData s{};
  const int base = OscillatorBaseOffset(0);
  s[base] = 64;       // 8'
  s[base + 1] = 64;   // no transposition
  s[base + 7] = 1;    // pulse
  s[base + 8] = 127;  // square
  auto c = OscillatorCurve(s, 0, 128);
  ASSERT_TRUE(c);
  EXPECT_EQ(std::count(c->begin(), c->end(), 1.0), 64);  // half high
  EXPECT_DOUBLE_EQ(OscillatorCycles(64, 64), 2.0);
  EXPECT_DOUBLE_EQ(OscillatorCycles(76, 64), 4.0);   // an octave up
  EXPECT_DOUBLE_EQ(OscillatorCycles(64, 76), 4.0);   // 12 semitones up
  s[base + 8] = 31;   // narrow pulse: a quarter of the square's width
  c = OscillatorCurve(s, 0, 128);
  EXPECT_EQ(std::count(c->begin(), c->end(), 1.0), 16);

  s[base + 14] = 1;   // sample: drawn by name
  EXPECT_FALSE(OscillatorCurve(s, 0, 128));
  EXPECT_TRUE(OscillatorShapeOf(s, 0).sample);
  // Oscillator 3 has no sample flag, whatever its byte there holds.
  s[OscillatorBaseOffset(2) + 7] = 4;
  s[OscillatorBaseOffset(2) + 14] = 1;
  EXPECT_FALSE(OscillatorShapeOf(s, 2).sample);
  EXPECT_TRUE(OscillatorCurve(s, 2, 128));
}

}  // namespace
}  // namespace tarvix
