#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QSignalSpy>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "tests/support/MouseEvents.h"

namespace tarvix {
namespace {

using test::Click;
using test::SendMouse;

const QPoint kLeftDigits(4, 40);
const QPoint kRightDigits(28, 40);

TEST(TKnob, SettersIgnoreInvalidValuesAndFireOnlyOnRepaint) {
  QWidget parent;
  TKnob knob(&parent);
  EXPECT_EQ(knob.Position(), 63);
  QSignalSpy changes(&knob, &TKnob::OnChange);

  knob.setPosition(200);
  knob.setPosition(-1);
  knob.setPosition(63);
  EXPECT_EQ(knob.Position(), 63);
  EXPECT_EQ(changes.count(), 0);

  knob.setPosition(100);
  EXPECT_EQ(knob.Position(), 100);
  EXPECT_EQ(changes.count(), 1);

  knob.setMin(127);  // not below Max
  knob.setMax(-5);   // not above Min
  knob.setMin(0);    // unchanged
  EXPECT_EQ(knob.Min(), 0);
  EXPECT_EQ(knob.Max(), 127);
  EXPECT_EQ(changes.count(), 1);

  knob.setCaption("Cutoff");
  knob.setCaption("Cutoff");
  EXPECT_EQ(changes.count(), 2);

  // A hidden knob behaves like a shown one.
  knob.setVisible(false);
  knob.setPosition(5);
  EXPECT_EQ(changes.count(), 3);
}

TEST(TKnob, GlyphsShowSignAndThreeDigits) {
  EXPECT_EQ(TKnob::GlyphNames(-64), QStringList({"KSPACE", "KMINUS", "KBITMAP6", "KBITMAP4"}));
  EXPECT_EQ(TKnob::GlyphNames(-100), QStringList({"KMINUS", "KBITMAP1", "KBITMAP0", "KBITMAP0"}));
  EXPECT_EQ(TKnob::GlyphNames(127), QStringList({"KSPACE", "KBITMAP1", "KBITMAP2", "KBITMAP7"}));
  EXPECT_EQ(TKnob::GlyphNames(5), QStringList({"KSPACE", "KSPACE", "KBITMAP0", "KBITMAP5"}));
  EXPECT_EQ(TKnob::GlyphNames(-7), QStringList({"KSPACE", "KMINUS", "KBITMAP0", "KBITMAP7"}));

  // The units glyph really is drawn: 5 and 7 differ in that cell only.
  TKnob knob;
  knob.setMin(-128);
  knob.setPosition(5);
  const QImage five = knob.grab().toImage();
  knob.setPosition(7);
  const QImage seven = knob.grab().toImage();
  EXPECT_NE(five.copy(23, 34, 9, 12), seven.copy(23, 34, 9, 12));
  EXPECT_EQ(five.copy(14, 34, 9, 12), seven.copy(14, 34, 9, 12));
}

TEST(TKnob, ClicksOnTheDigitsStepAndAlwaysFire) {
  TKnob knob;
  knob.setPosition(127);
  QSignalSpy changes(&knob, &TKnob::OnChange);
  Click(&knob, kRightDigits);  // at Max: no change, still a repaint
  EXPECT_EQ(knob.Position(), 127);
  EXPECT_GE(changes.count(), 1);
  Click(&knob, kLeftDigits);
  EXPECT_EQ(knob.Position(), 126);

  knob.setPosition(0);
  Click(&knob, kLeftDigits);
  EXPECT_EQ(knob.Position(), 0);

  // Raising Min above the position leaves it there until the next click.
  knob.setPosition(10);
  knob.setMin(20);
  EXPECT_EQ(knob.Position(), 10);
  Click(&knob, kRightDigits);
  EXPECT_EQ(knob.Position(), 20);
}

TEST(TKnob, DraggingMovesOneStepPerPixelWithinTheRange) {
  TKnob knob;
  knob.setPosition(0);
  QSignalSpy changes(&knob, &TKnob::OnChange);
  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});
  SendMouse(&knob, QEvent::MouseMove, {16, 10});
  EXPECT_EQ(knob.Position(), 10);
  SendMouse(&knob, QEvent::MouseMove, {16, -280});
  EXPECT_EQ(knob.Position(), 127);
  const int before = changes.count();
  SendMouse(&knob, QEvent::MouseMove, {16, -290});  // beyond Max: no change, still fires
  EXPECT_EQ(changes.count(), before + 1);
  SendMouse(&knob, QEvent::MouseButtonRelease, {16, -290});
  EXPECT_EQ(changes.count(), before + 2);
  SendMouse(&knob, QEvent::MouseMove, {16, 40});  // no longer dragging
  EXPECT_EQ(knob.Position(), 127);

  // A drag brings a position left below Min back into the range.
  knob.setPosition(5);
  knob.setMin(50);
  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});
  SendMouse(&knob, QEvent::MouseMove, {16, 19});
  EXPECT_EQ(knob.Position(), 50);
}

// A stored value outside the range is shown as it is; only a real move of
// the user takes the knob into the range and says so with Moved.
TEST(TKnob, ShowsAStoredValueOutsideTheRangeUntilTheUserMovesIt) {
  TKnob knob;
  knob.setMin(-12);
  knob.setMax(12);
  QSignalSpy moved(&knob, &TKnob::Moved);
  knob.ShowValue(36);
  EXPECT_EQ(knob.Position(), 36);
  EXPECT_EQ(TKnob::GlyphNames(36), (QStringList{"KSPACE", "KSPACE", "KBITMAP3", "KBITMAP6"}));
  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});  // a press, a move on the spot, a release
  SendMouse(&knob, QEvent::MouseMove, {16, 20});
  SendMouse(&knob, QEvent::MouseButtonRelease, {16, 20});
  EXPECT_EQ(knob.Position(), 36);
  EXPECT_EQ(moved.count(), 0);
  knob.setPosition(5);  // from code: no Moved
  EXPECT_EQ(moved.count(), 0);
  knob.ShowValue(36);
  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});
  SendMouse(&knob, QEvent::MouseMove, {16, 21});
  SendMouse(&knob, QEvent::MouseButtonRelease, {16, 21});
  EXPECT_EQ(knob.Position(), 12);
  EXPECT_EQ(moved.count(), 1);
  Click(&knob, kLeftDigits);
  EXPECT_EQ(knob.Position(), 11);
  EXPECT_EQ(moved.count(), 2);
}

// Captions, the knob's background and its digits, and the LED's background
// follow the palette, so a dark theme stays readable.
TEST(Controls, ColoursFollowThePalette) {
  QWidget parent;
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(30, 30, 30));
  dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
  parent.setPalette(dark);
  auto* knob = new TKnob(&parent);
  auto* led = new TCheckLed(&parent);
  knob->setCaption("Cutoff");
  led->setCaption("Glide");
  knob->setPosition(88);
  for (QLabel* label : {knob->CaptionLabelWidget(), led->CaptionLabelWidget()})
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(240, 240, 240));
  const QImage k = knob->grab().toImage();
  EXPECT_EQ(k.pixelColor(2, 40), QColor(30, 30, 30));  // beside the digits
  bool lightDigit = false;
  for (int x = 5; x < 32; ++x)
    for (int y = 34; y < 46; ++y) lightDigit = lightDigit || k.pixelColor(x, y) == QColor(240, 240, 240);
  EXPECT_TRUE(lightDigit);
  EXPECT_EQ(led->grab().toImage().pixelColor(2, 2), QColor(30, 30, 30));
}

TEST(TKnob, CaptionLabelSitsAboveInTheParentAndEnterLeaveFire) {
  QWidget parent;
  parent.resize(200, 200);
  TKnob knob(&parent);
  knob.move(50, 60);
  knob.setCaption("Cutoff");
  QLabel* label = knob.CaptionLabelWidget();
  ASSERT_EQ(label->parentWidget(), &parent);
  EXPECT_EQ(label->y(), 46);
  EXPECT_NEAR(label->x() + label->width() / 2.0, 66, 2);
  parent.show();
  EXPECT_TRUE(label->isVisible());
  knob.move(100, 100);
  EXPECT_EQ(label->y(), 86);

  knob.setVisible(false);
  EXPECT_FALSE(label->isVisible());

  QSignalSpy enter(&knob, &TKnob::OnEnter);
  QSignalSpy leave(&knob, &TKnob::OnLeave);
  QEnterEvent in(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&knob, &in);
  QEvent out(QEvent::Leave);
  QApplication::sendEvent(&knob, &out);
  EXPECT_EQ(enter.count(), 1);
  EXPECT_EQ(leave.count(), 1);
}

bool IsLight(QRgb c) { return qGray(c) > 120; }

TEST(TKnob, PointerTurnsClockwiseFromLowerLeftToLowerRight) {
  TKnob knob;
  knob.setPosition(0);
  QImage atMin = knob.grab().toImage();
  knob.setPosition(127);
  QImage atMax = knob.grab().toImage();
  EXPECT_TRUE(IsLight(atMin.pixel(13, 19)));
  EXPECT_FALSE(IsLight(atMax.pixel(13, 19)));
  EXPECT_TRUE(IsLight(atMax.pixel(19, 19)));
  EXPECT_FALSE(IsLight(atMin.pixel(19, 19)));
}

// A row of controls as the editor shows them; saved as the documentation
// picture when TARVIX_SCREENSHOT names a file.
TEST(Controls, RowRendersForTheDocumentation) {
  QWidget row;
  row.setAutoFillBackground(true);
  QPalette pal = row.palette();
  pal.setColor(QPalette::Window, QColor(200, 200, 196));
  row.setPalette(pal);
  row.resize(330, 76);
  const struct {
    const char* caption;
    int min, max, pos;
  } knobs[] = {{"Cutoff", 0, 127, 127}, {"Reso", 0, 127, 40}, {"Detune", -64, 63, -7},
               {"Pan", -64, 63, -64},   {"Env", -64, 63, 0},   {"Speed", 0, 127, 5}};
  int x = 10;
  for (auto& k : knobs) {
    auto* knob = new TKnob(&row);
    knob->setMin(k.min);
    knob->setMax(k.max);
    knob->setPosition(k.pos);
    knob->setCaption(k.caption);
    knob->move(x, 20);
    x += 44;
  }
  auto* on = new TCheckLed(&row);
  on->setCaption("Sync");
  on->setStatus(true);
  on->move(x, 24);
  auto* off = new TCheckLed(&row);
  off->setCaption("Glide");
  off->move(x, 54);
  row.show();
  // The captions are drawn in black in the strip above the controls, and
  // the lit LED shows red.
  const QImage shot = row.grab().toImage();
  auto any = [&](QRect area, auto pred) {
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (pred(QColor(shot.pixel(x, y)))) return true;
    return false;
  };
  auto black = [](QColor c) { return c.lightness() < 60; };
  EXPECT_TRUE(any(QRect(10, 6, 32, 13), black));
  EXPECT_TRUE(any(QRect(x, 10, 32, 13), black));
  EXPECT_TRUE(any(QRect(x, 24, 32, 16), [](QColor c) { return c.red() > 180 && c.green() < 90; }));
  EXPECT_FALSE(any(QRect(x, 54, 32, 16), [](QColor c) { return c.red() > 180 && c.green() < 90; }));
  if (const char* path = std::getenv("TARVIX_SCREENSHOT")) {
    EXPECT_TRUE(row.grab().save(path));
  }
}

}  // namespace
}  // namespace tarvix
