#include <gtest/gtest.h>

#include <QComboBox>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/ControlWidgets.h"
#include "editor/ParameterMap.h"
#include "library/InitSound.h"
#include "tests/editor/ExpectBytes.h"

namespace tarvix {
namespace {

TEST(ControlWidgets, WidgetsFollowTheMapAndCarryStateBothWays) {
  QWidget page;
  ControlWidgets w([&](const ControlSpec&) { return &page; }, {"Piano", "Voice"});
  const auto& map = ParameterMap::Instance();

  auto* octave = qobject_cast<TKnob*>(w.Widget("KnobOctave1"));
  ASSERT_NE(octave, nullptr);
  EXPECT_EQ(octave->objectName(), "KnobOctave1");
  EXPECT_EQ(octave->Min(), 0);
  EXPECT_EQ(octave->Max(), 8);
  auto* pan = qobject_cast<TKnob*>(w.Widget("KnobFilter1Pan"));
  EXPECT_EQ(pan->Min(), -64);
  EXPECT_EQ(pan->Max(), 63);
  EXPECT_EQ(qobject_cast<QComboBox*>(w.Widget("cmbShape2"))->count(), 127);
  EXPECT_EQ(qobject_cast<QComboBox*>(w.Widget("cmbShape2"))->itemText(126), "A2 Voice");
  EXPECT_EQ(qobject_cast<QComboBox*>(w.Widget("cmbShape3"))->count(), 5);
  EXPECT_EQ(qobject_cast<TCheckLed*>(w.Widget("CheckLedPtnReset"))->Caption(), "Ptn Reset");

  SoundData sound = MakeDefaultInitSound();
  sound[9] = 100;  // semitone +36: beyond the knob, which keeps its place
  sound[84] = 60;  // filter type outside the list
  const ControlState loaded = ReadControls(sound, w.SampleCount());
  w.Load(loaded);
  ControlState shown = loaded;
  w.Store(shown);
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (map[i].name == "KnobSemitone1") continue;
    EXPECT_EQ(shown.values[i], loaded.values[i]) << map[i].name;
  }
  EXPECT_EQ(shown["KnobSemitone1"], -12);
  EXPECT_EQ(shown["cmbFilter1Type"], kNoSelection);

  std::vector<std::size_t> changed;
  QObject context;
  w.ConnectChanges(&context, [&](std::size_t i) { changed.push_back(i); });
  qobject_cast<TKnob*>(w.Widget("KnobFilter1Cutoff"))->setPosition(3);
  qobject_cast<QComboBox*>(w.Widget("cmbFilter1Type"))->setCurrentIndex(2);
  EXPECT_EQ(changed, (std::vector<std::size_t>{map.IndexOf("KnobFilter1Cutoff"), map.IndexOf("cmbFilter1Type")}));

  w.Store(shown);
  WriteControls(shown, sound, w.SampleCount());
  test::ExpectBytes(sound, {{85, 3}, {84, 2}, {9, 52}});

  page.show();
  w.ApplyLayout(ControlLayout::For(4, 7, 0));
  EXPECT_EQ(qobject_cast<TKnob*>(w.Widget("KnobEffect1Para3"))->Caption(), "Post Gain");
  EXPECT_FALSE(w.Widget("KnobEffect1Para1")->isVisible());
  EXPECT_EQ(qobject_cast<TKnob*>(w.Widget("KnobEffect1Para1"))->Caption(), "");
  EXPECT_EQ(w.Widget("cmbEffect2Length")->property("caption").toString(), "Length");
  EXPECT_TRUE(w.Widget("cmbEffect2Length")->isVisible());
  EXPECT_FALSE(w.Widget("KnobArpStep1")->isVisible());
}

}  // namespace
}  // namespace tarvix
