#include <gtest/gtest.h>

#include <QSignalSpy>

#include "controls/TCheckLed.h"
#include "tests/support/MouseEvents.h"

namespace tarvix {
namespace {

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
