#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <tuple>

#include "editor/EnvelopeShape.h"
#include "editor/PagePictures.h"
#include "editor/TfrmCreateSchemaParameters.h"
#include "editor/WaveCurves.h"

namespace tarvix {
namespace {

using namespace pictures;

bool Black(const QImage& img, int x, int y) { return img.pixelColor(x, y) == QColor(Qt::black); }

void ExpectPixels(const QImage& img, std::initializer_list<std::tuple<int, int, bool>> pixels) {
  for (const auto& [x, y, black] : pixels) EXPECT_EQ(Black(img, x, y), black) << x << ", " << y;
}

// The topmost black pixel of a column below the frame, or -1.
int TopBlack(const QImage& img, int x, int from = 1) {
  for (int y = from; y < img.height() - 1; ++y)
    if (Black(img, x, y)) return y;
  return -1;
}

// A picture of one colour, to see whether drawing left it alone.
QImage Filled(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::red);
  return img;
}

SoundData Filter1(int type, int cutoff, int resonance) {
  SoundData s{};
  s[84] = static_cast<std::uint8_t>(type);
  s[85] = static_cast<std::uint8_t>(cutoff);
  s[87] = static_cast<std::uint8_t>(resonance);
  return s;
}

TEST(FilterPictureTest, EachTypeDrawsItsShape) {
  // Name, type, cutoff, resonance; pixels as {x, y, black}; tops as {x, the topmost black pixel's y}.
  // The middle line is y = 33.
  using Pixels = std::vector<std::tuple<int, int, bool>>;
  const std::tuple<const char*, int, int, int, Pixels, std::vector<std::pair<int, int>>> cases[] = {
      {"lowpass", 1, 127, 127,  // black below the middle up to the cutoff; the apex 31 above the middle
       {{1, 33, 1}, {1, 60, 1}, {1, 31, 0}, {120, 33, 1}, {120, 60, 1}, {120, 31, 0}, {240, 33, 1}, {240, 31, 0}},
       {{254, 33 - 31}}},
      {"lowpass without resonance", 2, 100, 0, {}, {{200, 33}}},
      {"bandpass", 3, 64, 40, {{128, 60, 1}, {20, 60, 0}, {110, 60, 0}, {140, 60, 0}, {250, 60, 0}}, {{128, 66 - 43}}},
      {"highpass", 6, 40, 0, {{40, 50, 0}, {100, 50, 1}, {250, 50, 1}}, {}},
      {"notch", 7, 64, 0, {{60, 50, 1}, {200, 50, 1}, {128, 40, 0}}, {}},
      {"bypass", 0, 0, 0, {{5, 40, 1}, {250, 40, 1}, {128, 20, 0}}, {}},
  };
  for (const auto& [name, type, cutoff, resonance, pixels, tops] : cases) {
    SCOPED_TRACE(name);
    const QImage img = DrawFilter(Filter1(type, cutoff, resonance), 0, {});
    for (const auto& [x, y, black] : pixels) EXPECT_EQ(Black(img, x, y), black) << x << ", " << y;
    for (const auto& [x, y] : tops) EXPECT_EQ(TopBlack(img, x), y) << x;
  }
  // Comb: teeth; "Comb-" puts its teeth between those of "Comb+".
  const QImage plus = DrawFilter(Filter1(9, 64, 64), 0, {});
  const QImage minus = DrawFilter(Filter1(10, 64, 64), 0, {});
  const int period = 32;  // 256 / ((128 - 64) / 8)
  EXPECT_LT(TopBlack(plus, period * 2, 20), TopBlack(plus, period * 2 + period / 2, 20));
  EXPECT_GT(TopBlack(minus, period * 2, 20), TopBlack(minus, period * 2 + period / 2, 20));

  // Unknown types leave the picture as it was; filter 2 reads its own bytes.
  EXPECT_EQ(DrawFilter(Filter1(12, 64, 64), 0, Filled(256, 66)), Filled(256, 66));
  SoundData two{};
  two[104] = 1, two[105] = 20;
  ExpectPixels(DrawFilter(two, 1, {}), {{30, 50, true}, {80, 50, false}});
}

TEST(FilterPictureTest, RoutingShowsTheConnections) {
  SoundData s = Filter1(1, 100, 60);
  const QImage f1 = DrawFilter(s, 0, {}), f2 = DrawFilter(s, 1, {});
  s[124] = 0;
  const QImage parallel = DrawFilterRouting(s, f1, f2);
  s[124] = 1;
  const QImage serial = DrawFilterRouting(s, f1, f2);
  // Parallel: filter 2 has its own line to "R"; serial: a vertical line splits its output to both sides.
  EXPECT_TRUE(Black(parallel, 30, 55) && !Black(serial, 30, 55));
  int vertical = 0;
  for (int y = 19; y <= 55; ++y) vertical += Black(serial, 285, y);
  EXPECT_EQ(vertical, 37);
}

// The curves themselves are checked in EnvelopeShapeTest and WaveCurvesTest; here a few pixels show
// each picture draws its curve, and a byte outside the lists keeps the old picture.
TEST(CurvePictureTest, DrawTheCurveOrKeepThePicture) {
  SoundData s{};
  const int env = EnvelopeBaseOffset(1), lfo = LfoBaseOffset(2);
  s[env + 5] = 64, s[env + 6] = 64, s[env + 9] = 64;  // ADSR, attack 0: up at x = 1, sustain at y = 32
  s[lfo] = 2, s[lfo + 1] = 64, s[lfo + 7] = 64;       // square, two cycles
  s[8] = 64, s[9] = 64, s[15] = 1, s[16] = 127;        // oscillator 1 pulse, square
  const QImage envelope = DrawEnvelope(s, 1, {}), wave = DrawLfo(s, 2, {}), osc = DrawOscillator(s, 0, "Pulse");
  ExpectPixels(envelope, {{1, 1, true}, {1, 40, true}, {100, 32, true}, {100, 40, false}});
  EXPECT_EQ(std::pair(TopBlack(wave, 20), TopBlack(wave, 70, 34)), std::pair(5, 61));  // high, then low
  EXPECT_EQ(TopBlack(osc, 10), 4);
  s[22] = 1;  // the same byte as a sample: named, not drawn as a wave
  EXPECT_NE(DrawOscillator(s, 0, "A2 Piano"), osc);

  s[env] = 36;  // single trigger, Loop All: the "->" mark in the top left corner
  const QImage loop = DrawEnvelope(s, 1, Filled(211, 66));
  int textPixels = 0;
  for (int y = 2; y < 16; ++y)
    for (int x = 2; x < 12; ++x) textPixels += loop.pixelColor(x, y) != QColor(Qt::white);
  EXPECT_GT(textPixels, 0);
  s[env] = 37;
  s[lfo] = 9;
  EXPECT_EQ(DrawEnvelope(s, 1, Filled(211, 66)), Filled(211, 66));
  EXPECT_EQ(DrawLfo(s, 2, Filled(211, 66)), Filled(211, 66));
}

TEST(CreateSchemaParametersTest, SlidersShowTheirPositionsAndGiveTheTolerances) {
  Tolerances t;
  t.octave = 1, t.comboBox = 64, t.keytrack = 100, t.otherKnobs = 10, t.semitone = 0, t.detune = 3;
  TfrmCreateSchemaParameters dlg(t);
  auto label = [&](const char* name) { return dlg.findChild<QLabel*>(name)->text(); };
  EXPECT_EQ(label("lblKeytrackKnobTolerance"), "100");
  dlg.trbDetuneTolerance->setValue(17);
  EXPECT_EQ(label("lblDetuneTolerance"), "17");
  dlg.findChild<QLabel*>("lblSemitoneTolerance")->setText("stale");
  dlg.FormActivate();
  EXPECT_EQ(label("lblSemitoneTolerance"), "0");
  Tolerances expected = t;
  expected.detune = 17;
  EXPECT_EQ(dlg.SliderTolerances(), expected);

  QTest::mouseClick(dlg.btnCreate, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarvix
