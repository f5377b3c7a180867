#include "tools/LockerTables.h"

#include <initializer_list>

namespace tarvix {

namespace {

struct Range {
  int first;
  int last;
};

std::vector<int> Expand(std::initializer_list<Range> ranges) {
  std::vector<int> out;
  for (const Range& r : ranges)
    for (int o = r.first; o <= r.last; ++o) out.push_back(o);
  return out;
}

std::vector<std::pair<int, int>> Pairs(std::initializer_list<Range> ranges, int d) {
  std::vector<std::pair<int, int>> out;
  for (int o : Expand(ranges)) out.emplace_back(o, o + d);
  return out;
}

std::vector<std::pair<int, int>> Join(std::vector<std::pair<int, int>> a, const std::vector<std::pair<int, int>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The envelope layout shared by the four envelopes: mode byte, then seven
// timing/level bytes three further on.
std::vector<int> Envelope(int mode) { return Expand({{mode, mode}, {mode + 3, mode + 9}}); }
// The LFO layout shared by the three LFOs.
std::vector<int> Lfo(int first) { return Expand({{first, first + 1}, {first + 3, first + 7}, {first + 10, first + 10}}); }

}  // namespace

const std::array<LockGroup, kLockGroupCount>& LockGroups() {
  static const std::array<LockGroup, kLockGroupCount> groups{{
      {"ckbOscillator1", "Lock Oscillator 1", Expand({{8, 23}, {68, 69}})},
      {"ckbOscillator2", "Lock Oscillator 2", Expand({{24, 39}, {70, 71}})},
      {"ckbOscillator3", "Lock Oscillator 3", Expand({{40, 50}, {53, 53}, {55, 55}, {72, 73}})},
      {"ckbOscillatorCommon", "Lock Oscillator Common", Expand({{56, 67}, {74, 76}, {78, 79}})},
      {"ckbFilter1", "Lock Filter 1", Expand({{84, 85}, {87, 89}, {93, 102}})},
      {"ckbFilter2", "Lock Filter 2", Expand({{104, 105}, {107, 109}, {113, 122}})},
      {"ckbFilterRouting", "Lock Filter Routing", Expand({{124, 124}})},
      {"ckbFilterEnvelope", "Lock Filter Envelope", Envelope(203)},
      {"ckbAmpEnvelope", "Lock Amp Envelope", Envelope(215)},
      {"ckbEnvelope3", "Lock Envelope 3", Envelope(227)},
      {"ckbEnvelope4", "Lock Envelope 4", Envelope(239)},
      {"ckbLFO1", "Lock LFO 1", Lfo(167)},
      {"ckbLFO2", "Lock LFO 2", Lfo(179)},
      {"ckbLFO3", "Lock LFO 3", Lfo(191)},
      {"ckbMatrixModulation", "Lock Matrix Modulation", Expand({{268, 315}})},
      {"ckbMatrixModifier", "Lock Matrix Modifier", Expand({{252, 267}})},
      {"ckbArpGlobals", "Lock Arpeggiator Globals", Expand({{318, 319}, {321, 327}, {329, 330}, {333, 333}})},
      {"ckbArpStepAccent", "Lock Arpeggiator Step Accent", Expand({{334, 349}})},
      {"ckbArpTimingLength", "Lock Arpeggiator Timing Length", Expand({{350, 365}})},
      {"ckbEffect1", "Lock Effect 1", Expand({{135, 150}})},
      {"ckbEffect2", "Lock Effect 2", Expand({{151, 166}})},
  }};
  return groups;
}

const std::array<SwapButton, kSwapCount>& SwapButtons() {
  // Swaps with oscillator 3 leave out the shape and the three bytes whose
  // oscillator 3 counterparts are not oscillator parameters.
  static const std::array<SwapButton, kSwapCount> swaps{{
      {SwapKind::Osc1Osc2, "btnSwapOsc1Osc2", "Osc1-Osc2", Join(Pairs({{8, 23}}, 16), Pairs({{68, 69}}, 2))},
      {SwapKind::Osc1Osc3, "btnSwapOsc1Osc3", "Osc1-Osc3 (without shape)",
       Join(Pairs({{8, 14}, {16, 18}, {21, 21}, {23, 23}}, 32), Pairs({{68, 69}}, 4))},
      {SwapKind::Osc2Osc3, "btnSwapOsc2Osc3", "Osc2-Osc3 (without shape)",
       Join(Pairs({{24, 30}, {32, 34}, {37, 37}, {39, 39}}, 16), Pairs({{70, 71}}, 2))},
      {SwapKind::Filter1Filter2, "btnSwapFilter1Filter2", "Filter1-Filter2", Pairs({{84, 85}, {87, 89}, {93, 102}}, 20)},
      {SwapKind::Effect1Effect2, "btnSwapEffect1Effect2", "Effect1-Effect2(whitout type)", Pairs({{136, 150}}, 16)},
      {SwapKind::LFO1LFO2, "btnswapLFO1LFO2", "LFO1-LFO2", Pairs({{167, 168}, {170, 174}, {177, 177}}, 12)},
      {SwapKind::LFO1LFO3, "btnswapLFO1LFO3", "LFO1-LFO3", Pairs({{167, 168}, {170, 174}, {177, 177}}, 24)},
      {SwapKind::LFO2LFO3, "btnswapLFO2LFO3", "LFO2-LFO3", Pairs({{179, 180}, {182, 186}, {189, 189}}, 12)},
      {SwapKind::FilterEnvAmpEnv, "btnswapFilterEnvAmpenv", "Filter Env-Amp Env", Pairs({{203, 203}, {206, 212}}, 12)},
      {SwapKind::FilterEnvEnv3, "btnswapFilterEnvEnv3", "Filter Env-Env3", Pairs({{203, 203}, {206, 212}}, 24)},
      {SwapKind::FilterEnvEnv4, "btnswapFilterEnvEnv4", "Filter Env-Env4", Pairs({{203, 203}, {206, 212}}, 36)},
      {SwapKind::AmpEnvEnv3, "btnswapAmpEnvEnv3", "Amp Env-Env3", Pairs({{215, 215}, {218, 224}}, 12)},
      {SwapKind::AmpEnvEnv4, "btnswapAmpEnvEnv4", "Amp Env-Env4", Pairs({{215, 215}, {218, 224}}, 24)},
      {SwapKind::Env3Env4, "btnswapEnv3Env4", "Env3-Env4", Pairs({{227, 227}, {230, 236}}, 12)},
  }};
  return swaps;
}

const std::array<RollButton, 4>& RollButtons() {
  static const std::array<RollButton, 4> rolls{{
      {RollKind::DestUp, "btnRollModulationMatrixDest", "Roll up Modulation Matrix dest", 1, true},
      {RollKind::DestDown, "btnRolldownModulationMatrixDest", "Roll down Modulation Matrix dest", 1, false},
      {RollKind::AmountUp, "btnRollUpModulationMatrixAmount", "Roll up Mod Matrix Amount", 2, true},
      {RollKind::AmountDown, "btnRollDownModulationMatrixAmount", "Roll down Mod Matrix Amount", 2, false},
  }};
  return rolls;
}

const std::array<PanelLabel, kPanelLabelCount>& PanelLabels() {
  static const std::array<PanelLabel, kPanelLabelCount> labels{{
      {"lblOsc1", "Osc1:  ", {15, 13, 17, 8, 9, 10, 11, 12, 16, 14, 18, 68, 69, 21, 23}, false},
      {"lblOsc2", "Osc2:  ", {31, 29, 33, 24, 25, 26, 27, 28, 32, 30, 34, 70, 71, 37, 39}, false},
      {"lblOsc3", "Osc3:  ", {47, 45, 49, 40, 41, 42, 43, 44, 48, 46, 50, 72, 73, 53, 55}, false},
      {"lblOscCommon", "OscCommon:  ", Expand({{56, 67}, {74, 76}, {78, 79}}), false},
      {"lblFilter1", "Filter1:  ", {84, 85, 87, 94, 95, 93, 96, 97, 98, 99, 88, 89, 101, 102, 100}, false},
      {"lblFilter2", "Filter2:  ", {104, 105, 107, 114, 115, 113, 116, 117, 118, 119, 108, 109, 121, 122, 120}, false},
      {"lblFilterRouting", "Filter Routing:  ", {124}, false},
      {"lblFilterEnvelope", "EnvFilter:  ", {203, 206, 208, 209, 212, 207, 210, 211}, false},
      {"lblAmpEnvelope", "EnvAmp:  ", {215, 218, 220, 221, 224, 219, 222, 223}, false},
      {"lblEnvelope3", "Env3:  ", {227, 230, 232, 233, 236, 231, 234, 235}, false},
      {"lblEnvelope4", "Env4:  ", {239, 242, 244, 245, 248, 243, 246, 247}, false},
      {"lblLFO1", "LFO1:  ", {167, 168, 170, 171, 172, 177, 173, 174}, false},
      {"lblLFO2", "LFO2:  ", {179, 180, 182, 183, 184, 189, 185, 186}, false},
      {"lblLFO3", "LFO3:  ", {191, 192, 194, 195, 196, 201, 197, 198}, false},
      {"lblMatrixModulation", "Matrix Modulation: (", {}, true},
      {"lblMatrixModifier", "Matrix Modifier: (", {}, false},
      {"lblArpStepAccent", "ArpStepGlideAccent:  ", Expand({{334, 349}}), true},
      {"lblArpTimingLen", "ArpTimingLen:  ", Expand({{350, 365}}), true},
      {"lblEffect1", "Effect1:  ", Expand({{135, 150}}), true},
      {"lblEffect2", "Effect2:  ", Expand({{151, 166}}), true},
  }};
  return labels;
}

}  // namespace tarvix
