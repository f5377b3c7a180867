#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "editor/ControlState.h"
#include "editor/ControlTable.h"
#include "editor/ParameterMap.h"
#include "library/InitSound.h"

namespace tarvix {
namespace {

const ParameterMap& Map() { return ParameterMap::Instance(); }

// A layout under which the control writes its byte, so "only while visible" controls are checked too.
ControlLayout LayoutShowing(std::size_t control) {
  for (int t1 = 0; t1 <= 5; ++t1)
    for (int t2 = 0; t2 <= 8; ++t2) {
      auto l = ControlLayout::For(t1, t2, 1);
      if (l.IsVisible(control)) return l;
    }
  ADD_FAILURE() << Map()[control].name << " is never shown";
  return ControlLayout::For(0, 0, 1);
}

SoundData BaseSound() {
  SoundData s = MakeDefaultInitSound();
  // Make the unedited bytes recognisable so any stray write shows.
  for (int off : Map().UneditedOffsets()) s[static_cast<std::size_t>(off)] = static_cast<std::uint8_t>(off % 100 + 1);
  return s;
}

TEST(ParameterMap, EveryControlReadsBackEveryValueOfItsRange) {
  constexpr int kSamples = 3;
  const SoundData base = BaseSound();
  for (std::size_t i = 0; i < Map().size(); ++i) {
    const auto& c = Map()[i];
    const auto layout = LayoutShowing(i);
    int last = c.max;
    if (c.encoding == Encoding::Shape) last = c.EntryCount() + kSamples - 1;
    for (int v = c.min; v <= last; ++v) {
      SoundData s = base;
      ControlState state = ReadControls(s, kSamples);
      state.values[i] = v;
      WriteControls(state, s, layout, kSamples);
      ASSERT_EQ(ReadControl(s, c, kSamples), v) << c.name << " value " << v;
      for (std::size_t b = 7; b <= 389; ++b) ASSERT_LE(s[b], 127) << c.name << " offset " << b;
      for (int off : Map().UneditedOffsets())
        ASSERT_EQ(s[static_cast<std::size_t>(off)], base[static_cast<std::size_t>(off)])
            << c.name << " touched " << off;
    }
  }
}

// Two tables written separately: if they disagree, a schema draws values for the wrong byte.
TEST(ParameterMap, AgreesWithTheSchemaTableAndWritesSharedBytesInOrder) {
  for (const auto& c : ControlTable()) {
    SCOPED_TRACE(c.control.name);
    const auto i = Map().Find(c.control.name);
    ASSERT_TRUE(i);
    const ControlSpec& m = Map()[*i];
    EXPECT_EQ(m.offset, c.offset);
    EXPECT_EQ(m.kind, c.control.kind);
    if (m.IsKnob()) { EXPECT_EQ(std::pair(m.min, m.max), std::pair(c.control.min, c.control.max)); }
    if (m.IsList()) { EXPECT_EQ(m.EntryCount(), c.control.entryCount); }
  }
  EXPECT_EQ(Map().size(), ControlTable().size() + 1);  // and the category, which no schema draws
  std::set<std::string> names;
  for (const auto& c : Map().Controls()) EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
  EXPECT_THROW(Map().IndexOf("NoSuchKnob"), std::out_of_range);
  // Writers of shared bytes, in writing order: the later one wins.
  for (const auto& [offset, first, second] : {std::tuple{161, "CheckLedEffect2Para0", "KnobEffect2Para9"},
                                              std::tuple{162, "cmbEffect2Curve", "KnobEffect2Para10"}}) {
    const auto& at = Map().ControlsAt(offset);
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(std::pair(Map()[at[0]].name, Map()[at[1]].name), std::pair(std::string(first), std::string(second)));
  }
  EXPECT_EQ(Map()[Map().ControlsAt(22).at(0)].name, "cmbShape1");  // the sample flag, set from the shape list
  EXPECT_EQ(Map().ControlsAt(336).size(), 3u);
  EXPECT_TRUE(Map().ControlsAt(500).empty());
}

// Set bytes, read, change some controls, write back; "none" is a list byte outside its list, kept as loaded.
TEST(ParameterMap, EncodingsReadAndWriteTheirBytes) {
  using Bytes = std::vector<std::pair<int, int>>;
  using Values = std::vector<std::pair<const char*, int>>;
  constexpr int none = kNoSelection;
  // What, bytes set, sample names loaded, values read, values set, bytes written.
  const std::tuple<const char*, Bytes, int, Values, Values, Bytes> cases[] = {
      {"octave off the 16 + 12k grid", {{8, 70}}, 0, {{"KnobOctave1", 4}}, {}, {{8, 64}}},
      {"below the first octave: truncation towards zero", {{8, 5}}, 0, {{"KnobOctave1", 0}}, {}, {}},
      {"sample shape", {{22, 0}}, 2, {}, {{"cmbShape1", 125}}, {{15, 0}, {22, 1}}},
      {"wave shape clears the flag", {{38, 1}}, 0, {}, {{"cmbShape2", 124}}, {{31, 124}, {38, 0}}},
      {"oscillator 3 offers five shapes", {{47, 5}}, 0, {{"cmbShape3", none}}, {}, {}},
      {"a plain flag is lit only by 1", {{56, 2}}, 0, {{"CheckLedSynctoOsc3", 0}}, {}, {}},
      {"knobs beyond the byte", {}, 0, {}, {{"KnobFilter1Cutoff", 500}, {"KnobSemitone1", -100}}, {{85, 127}, {9, 0}}},
      {"packed fields", {}, 0, {},
       {{"cmbUnisono", 1}, {"cmbAllocation", 1}, {"cmbFilterEnvelopeMode", 4}, {"cmbFilterEnvelopeTrigger", 1},
        {"KnobArpStep3", 6}, {"KnobArpAccent3", 5}, {"CheckLedGlide3", 1}, {"KnobArpTiming5", 2},
        {"KnobArpLength5", 7}},
       {{65, 17}, {203, 36}, {336, 109}, {354, 7 * 16 + 2}}},
      {"unisono outside its list survives the allocation", {{65, 7 * 16}}, 0, {{"cmbUnisono", none}},
       {{"cmbAllocation", 1}}, {{65, 7 * 16 + 1}}},
      // Effect controls write only while their type shows them; overdrive's curves write 0 for none.
      {"chorus", {{135, 1}, {151, 1}, {146, 50}, {162, 99}, {163, 77}}, 0, {}, {}, {{146, 50}, {162, 99}, {163, 77}}},
      {"overdrive", {{135, 4}, {151, 4}, {146, 50}, {162, 99}, {163, 77}}, 0, {}, {}, {{146, 0}, {162, 0}, {163, 77}}},
      {"clocked delay: the LED always writes, Para10 centred, length 0 for none", {{151, 7}, {163, 77}}, 0, {},
       {{"CheckLedEffect2Para0", 1}, {"KnobEffect2Para10", -10}}, {{161, 0}, {162, 54}, {163, 0}}},
      {"reverb: Para9 is written after the LED and wins", {{151, 8}}, 0, {},
       {{"CheckLedEffect2Para0", 1}, {"KnobEffect2Para9", 90}}, {{161, 90}}},
      {"the layout before a type change decides", {{151, 1}, {162, 99}}, 0, {}, {{"cmbEffect2type", 4}},
       {{151, 4}, {162, 99}}},
  };
  for (const auto& [what, bytes, samples, read, set, written] : cases) {
    SCOPED_TRACE(what);
    SoundData s = BaseSound();
    for (auto [offset, value] : bytes) s[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    ControlState st = ReadControls(s, samples);
    for (auto [control, value] : read) EXPECT_EQ(st[control], value) << control;
    for (auto [control, value] : set) st[control] = value;
    WriteControls(st, s, samples);
    for (auto [offset, value] : written) EXPECT_EQ(s[static_cast<std::size_t>(offset)], value) << offset;
    if (set.size() > 2) { EXPECT_EQ(ReadControls(s, samples).values, st.values); }  // no field clobbers another
  }
  SoundData s = BaseSound();
  EXPECT_THROW(WriteControls(ControlState{}, s), std::invalid_argument);  // a state of the wrong size
}

TEST(ControlLayout, EffectTypesShowTheirControlsWithCaptions) {
  const auto a = ControlLayout::For(3, 8, 0);  // phaser, reverb, arpeggiator pattern off
  const auto b = ControlLayout::For(4, 7, 1);  // overdrive, clocked delay
  SoundData s = BaseSound();
  s[135] = 2, s[151] = 6, s[319] = 1;  // flanger, delay, a pattern
  const auto c = ControlLayout::For(s);
  // Layout, control, visible (-1 not checked), caption (nullptr not checked, "-" none managed).
  const std::tuple<const ControlLayout&, const char*, int, const char*> cases[] = {
      {a, "CheckLedEffectPara0", 1, "Polarity+-"}, {a, "KnobEffect1Para7", 1, "Spacing"},
      {a, "KnobEffect1Para3", 0, ""},              {a, "cmbEffect1Curve", 0, nullptr},
      {a, "KnobEffect2Para9", 1, "Damping"},       {a, "CheckLedEffect2Para0", 0, ""},
      {a, "KnobArpStep1", 0, nullptr},             {a, "CheckLedGlide16", 0, nullptr},
      {a, "CheckLedGlide", 1, nullptr},  // the oscillators' glide is not a step LED
      {a, "knobEffect1Mix", 1, "-"},               {b, "cmbEffect1Curve", -1, "Curve"},
      {b, "KnobEffect1Para3", -1, "Post Gain"},    {b, "cmbEffect2Length", -1, "Length"},
      {b, "KnobEffect2Para10", -1, "Spread"},      {b, "KnobEffect2Para4", 0, nullptr},
      {b, "KnobArpTiming9", 1, "-"},               {c, "CheckLedEffectPara0", -1, "Polarity+"},
      {c, "KnobEffect2Para4", -1, "Length"},       {c, "KnobArpStep1", 1, nullptr},
  };
  for (const auto& [layout, control, visible, caption] : cases) {
    SCOPED_TRACE(control);
    const auto i = Map().IndexOf(control);
    if (visible >= 0) { EXPECT_EQ(layout.IsVisible(i), visible == 1); }
    if (caption) { EXPECT_EQ(layout.Caption(i).value_or("-"), caption); }
  }
  // Delay types are not offered by effect 1, and unknown bytes show nothing.
  const ControlLayout unknown = ControlLayout::For(6, 100, 1);
  for (auto& item : unknown.Items())
    if (Map()[item.control].page != Page::Arpeggiator) { EXPECT_FALSE(item.visible) << Map()[item.control].name; }

  LayoutGuard guard;
  {
    LayoutGuard::Scope outer(guard), inner(guard);
    EXPECT_TRUE(outer && !inner);
  }
  EXPECT_FALSE(guard.Active());
  EXPECT_TRUE(LayoutGuard::Scope(guard));
}

}  // namespace
}  // namespace tarvix
