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
  QSignalSpy changes(&knob, &TKnob::OnChange);
  for (int ignored : {200, -1, 63}) knob.setPosition(ignored);
  knob.setMin(127);  // not below Max
  knob.setMax(-5);   // not above Min
  knob.setMin(0);    // unchanged
  EXPECT_EQ(knob.Position(), 63);
  EXPECT_EQ(knob.Min(), 0);
  EXPECT_EQ(knob.Max(), 127);
  EXPECT_EQ(changes.count(), 0);

  knob.setPosition(100);
  knob.setCaption("Cutoff");
  knob.setCaption("Cutoff");  // unchanged
  EXPECT_EQ(changes.count(), 2);
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

TEST(TKnob, ClicksOnTheDigitsStepAndDragsMoveOneStepPerPixelWithinTheRangeAndAlwaysFire) {
  TKnob knob;
  knob.setPosition(127);
  QSignalSpy changes(&knob, &TKnob::OnChange);
  QSignalSpy moved(&knob, &TKnob::Moved);  // the user's moves only
  Click(&knob, kRightDigits);  // at Max: no change, still a repaint
  EXPECT_EQ(knob.Position(), 127);
  EXPECT_GE(changes.count(), 1);
  Click(&knob, kLeftDigits);
  EXPECT_EQ(knob.Position(), 126);
  knob.setPosition(0);
  Click(&knob, kLeftDigits);
  EXPECT_EQ(knob.Position(), 0);

  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});
  SendMouse(&knob, QEvent::MouseMove, {16, -280});
  EXPECT_EQ(knob.Position(), 127);
  const int before = changes.count();
  SendMouse(&knob, QEvent::MouseMove, {16, -290});  // beyond Max: no change, still fires
  SendMouse(&knob, QEvent::MouseButtonRelease, {16, -290});
  EXPECT_EQ(changes.count(), before + 2);
  SendMouse(&knob, QEvent::MouseMove, {16, 40});  // no longer dragging
  EXPECT_EQ(knob.Position(), 127);

  // A stored value outside the range stays until the pointer really moves.
  knob.ShowValue(300);
  SendMouse(&knob, QEvent::MouseButtonPress, {16, 20});
  SendMouse(&knob, QEvent::MouseMove, {16, 20});
  EXPECT_EQ(knob.Position(), 300);
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
  const QImage unlit = led->grab().toImage();
  EXPECT_EQ(unlit.pixelColor(2, 2), QColor(30, 30, 30));
  led->setStatus(true);  // a lit LED looks lit
  EXPECT_NE(led->grab().toImage(), unlit);
}

// The caption is a label in the parent, above the control, that follows it.
TEST(Controls, CaptionLabelsSitAboveInTheParentAndFollowTheControl) {
  QWidget parent;
  parent.resize(200, 200);
  TKnob knob(&parent);
  knob.move(50, 60);
  knob.setCaption("Cutoff");
  QLabel* label = knob.CaptionLabelWidget();
  EXPECT_EQ(label->y(), 46);
  EXPECT_NEAR(label->x() + label->width() / 2.0, 66, 2);
  parent.show();
  EXPECT_TRUE(label->isVisible());
  knob.move(100, 100);
  EXPECT_EQ(label->y(), 86);
  knob.setVisible(false);
  EXPECT_FALSE(label->isVisible());

  // A LED's caption is cut to 32 characters; created first and placed later, the label follows.
  auto* led = new TCheckLed;
  led->setCaption(QString(40, QChar('x')));
  led->setParent(&parent);
  EXPECT_EQ(led->CaptionLabelWidget()->parentWidget(), &parent);
  EXPECT_EQ(led->CaptionLabelWidget()->text(), QString(32, QChar('x')));
  led->setCaption("");
  EXPECT_EQ(led->CaptionLabelWidget()->text(), "");
}

TEST(TKnob, EnterAndLeaveFireAndThePointerTurnsClockwiseFromLowerLeftToLowerRight) {
  TKnob knob;
  QSignalSpy enter(&knob, &TKnob::OnEnter);
  QSignalSpy leave(&knob, &TKnob::OnLeave);
  QEnterEvent in(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&knob, &in);
  QEvent out(QEvent::Leave);
  QApplication::sendEvent(&knob, &out);
  EXPECT_EQ(enter.count(), 1);
  EXPECT_EQ(leave.count(), 1);

  auto light = [](const QImage& image, int x) { return qGray(image.pixel(x, 19)) > 120; };
  knob.setPosition(0);
  const QImage atMin = knob.grab().toImage();
  knob.setPosition(127);
  const QImage atMax = knob.grab().toImage();
  EXPECT_TRUE(light(atMin, 13) && !light(atMin, 19));
  EXPECT_TRUE(light(atMax, 19) && !light(atMax, 13));
}

}  // namespace
}  // namespace tarvix
