#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "editor/ControllerMap.h"
#include "editor/GroupCommands.h"
#include "editor/ParameterMap.h"
#include "editor/TestNotes.h"
#include "editor/TransferPass.h"
#include "library/InitSound.h"

namespace tarvix {
namespace {

struct Sent {
  int parameter;
  int value;
  bool operator==(const Sent&) const = default;
};

struct PassFixture : ::testing::Test {
  SoundData sound = MakeDefaultInitSound();
  std::vector<Sent> sent;
  int pauses = 0;
  TransferPass pass{sound, [this](int p, std::uint8_t v) { sent.push_back({p, v}); }, [this] { ++pauses; }};
  ControlState state = ReadControls(sound);
};

TEST_F(PassFixture, ChangesAreSentOncePerByteInOffsetOrderWithAPauseEach) {
  const SoundData before = pass.EditSound;
  ControlState bad;  // a damaged state throws before touching the sound
  bad.values.resize(3);
  EXPECT_THROW(pass.ApplyControlsToSound(bad), std::invalid_argument);
  EXPECT_EQ(pass.EditSound, before);
  // Made in reverse offset order; they must leave in ascending order.
  state["KnobAmplifierVolume"] = 3;   // offset 128
  state["KnobFilter1Cutoff"] = 20;    // offset 85
  state["KnobSemitone1"] = -12;       // offset 9, centred
  EXPECT_EQ(pass.ApplyControlsToSound(state), 3);
  EXPECT_EQ(sent, (std::vector<Sent>{{2, 52}, {78, 20}, {121, 3}}));
  EXPECT_EQ(pauses, 3);
  sent.clear();
  // Bytes written straight into the sound (an init command, a randomizer) are sent by the next pass.
  pass.EditSound[85] = 50;
  pass.EditSound[9] = 70;
  pass.ApplyControlsToSound(ReadControls(pass.EditSound));
  EXPECT_EQ(sent, (std::vector<Sent>{{2, 70}, {78, 50}}));
  // A rename sends one message per changed character.
  state = ReadControls(pass.EditSound);
  state.name = "Inxt";
  sent.clear();
  pass.ApplyControlsToSound(state);
  EXPECT_EQ(sent, (std::vector<Sent>{{363 + 2, 'x'}}));
  // Three more characters over blanks; one outside 7-bit text is stored as "?" so every dump stays valid.
  state.name = "Inxt t\xE9o";
  pass.ApplyControlsToSound(state);
  EXPECT_EQ(sent.size(), 4u);
  EXPECT_EQ(GetSoundName(pass.EditSound), "Inxt t?o        ");
}

TEST(ControllerMapTest, TargetsAndConversions) {
  struct Case { int cc; const char* control; int value; int expected; };
  const Case cases[] = {
      {15, "cmbLFO1Shape", 2, 2},       {24, "KnobLFO3Speed", 90, 90},         {26, "KnobLFO3Delay", 5, 5},
      {27, "KnobOctave1", 64, 4},       {42, "KnobOctave3", 124, 9},           {36, "KnobSemitone2", 60, -4},
      {45, "KnobFMAmount3", 1, 1},      {59, "KnobBalance3", 0, -64},          {67, "cmbFilterRouting", 1, 1},
      {69, "KnobFilter1Cutoff", 33, 33}, {79, "cmbFilter2Type", 3, 3},          {89, "KnobFilter2PanAmount", 127, 63},
      {95, "KnobFilterEnvelopeAttack", 1, 1}, {100, "KnobFilterEnvelopeRelease", 2, 2},
      {104, "KnobAmpEnvelopeDecay2", 3, 3},   {118, "KnobEnvelope4Release", 4, 4},
  };
  for (const auto& c : cases) {
    auto t = ControllerTargetFor(c.cc);
    ASSERT_TRUE(t) << c.cc;
    EXPECT_EQ(t->control, c.control) << c.cc;
    EXPECT_EQ(ControllerValue(t->conversion, c.value), c.expected) << c.cc;
  }
  for (int cc : {0, 1, 7, 14, 17, 31, 32, 39, 46, 49, 60, 90, 94, 119, 127})
    EXPECT_FALSE(ControllerTargetFor(cc)) << cc;
  for (int cc = 0; cc < 128; ++cc)
    if (auto t = ControllerTargetFor(cc)) {
      EXPECT_TRUE(ParameterMap::Instance().Find(t->control)) << t->control;
    }
}

TEST(GroupCommandsTest, SwapAndCopyCoverWholeGroups) {
  const auto& map = ParameterMap::Instance();
  ControlState s = ReadControls(MakeDefaultInitSound(), 3);
  for (auto g : {ControlGroup::Oscillator, ControlGroup::Filter, ControlGroup::Envelope, ControlGroup::Lfo})
    for (int i = 1; i <= GroupInstanceCount(g); ++i)
      for (const auto& n : GroupControls(g, i)) EXPECT_TRUE(map.Find(n)) << n;
  using Values = std::vector<std::pair<const char*, int>>;
  const std::tuple<const char*, Values, Values> cases[] = {  // command, values set, values expected
      {"Swap LFO1 LFO2", {{"KnobLFO1StartPhase", 10}, {"CheckLedLFO1Clocked", 1}, {"CheckLedLFO2Clocked", 0}},
       {{"KnobLFO2StartPhase", 10}, {"CheckLedLFO1Clocked", 0}, {"CheckLedLFO2Clocked", 1}}},
      {"Copy Env4 to Filter", {{"KnobEnvelope4Attack", 5}, {"cmbEnvelope4Mode", 4}},
       {{"KnobFilterEnvelopeAttack", 5}, {"cmbFilterEnvelopeMode", 4}, {"KnobEnvelope4Attack", 5}}},
      // Oscillator 3 offers 5 shapes only: it keeps its own when oscillator 1 holds a sample.
      {"Swap O13", {{"cmbShape1", 126}, {"cmbShape3", 2}, {"KnobOctave1", 7}},
       {{"cmbShape3", 2}, {"cmbShape1", 2}, {"KnobOctave3", 7}}},
  };
  const auto& all = AllGroupCommands();
  for (const auto& [caption, set, expected] : cases) {
    SCOPED_TRACE(caption);
    const auto command = std::find_if(all.begin(), all.end(), [name = caption](auto& g) { return g.caption == name; });
    ASSERT_NE(command, all.end());
    for (auto [control, value] : set) s[control] = value;
    ApplyGroupCommand(*command, s, 3);
    for (auto [control, value] : expected) EXPECT_EQ(s[control], value) << control;
  }
}

TEST(TestNotesTest, NotesAndTheLowestOctave) {
  const std::tuple<int, int, std::optional<int>> notes[] = {{1, 4, 60}, {5, 0, 19}, {9, 2, 50}, {0, 4, std::nullopt},
                                                            {9, 8, 122}, {9, 9, std::nullopt}};  // 134 is no note
  for (const auto& [key, octave, note] : notes) EXPECT_EQ(KeypadTestNote(key, octave), note) << key << " " << octave;
  EXPECT_EQ(StepOctave(0, false), 0);
}

}  // namespace
}  // namespace tarvix
