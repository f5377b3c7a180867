#include <gtest/gtest.h>

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
  knob.setCaption("Cutoff");  // unchanged
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

// Only a real move of the user takes a stored value outside the range into it.
TEST(TKnob, ShowsAStoredValueOutsideTheRangeUntilTheUserMovesIt) {
  TKnob knob;
  knob.setMin(-12);
  knob.setMax(12);
  QSignalSpy moved(&knob, &TKnob::Moved);
  knob.ShowValue(36);
  EXPECT_EQ(knob.Position(), 36);
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

// A dark theme stays readable.
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

TEST(TCheckLed, StatusFromCodeIsSilentClicksAlwaysFire) {
  QWidget parent;
  TCheckLed led(&parent);
  EXPECT_FALSE(led.Status());
  QSignalSpy changes(&led, &TCheckLed::OnChange);

  const QImage dark = led.grab().toImage();
  led.setStatus(false);
  led.setStatus(true);
  EXPECT_EQ(changes.count(), 0);
  const QImage lit = led.grab().toImage();
  EXPECT_NE(dark, lit);

  test::Click(&led, {10, 8});
  EXPECT_FALSE(led.Status());
  test::Click(&led, {10, 8});
  EXPECT_TRUE(led.Status());
  EXPECT_EQ(changes.count(), 2);
}

TEST(TCheckLed, CaptionIsCutTo32Characters) {
  QWidget parent;
  TCheckLed led(&parent);
  const QString forty(40, QChar('x'));
  led.setCaption(forty);
  EXPECT_EQ(led.Caption(), forty.left(32));
  EXPECT_EQ(led.CaptionLabelWidget()->text(), forty.left(32));
  EXPECT_EQ(led.CaptionLabelWidget()->parentWidget(), &parent);

  led.setCaption("");
  EXPECT_EQ(led.CaptionLabelWidget()->text(), "");

  // Created first and placed later: the label follows to the new parent.
  QWidget page;
  auto* loose = new TCheckLed;
  loose->setParent(&page);
  EXPECT_EQ(loose->CaptionLabelWidget()->parentWidget(), &page);
}

}  // namespace
}  // namespace tarvix
