#include "editor/GroupCommands.h"

#include <array>
#include <stdexcept>

#include "editor/ParameterMap.h"

namespace tarvix {

namespace {

constexpr int kShapeCount = 125;
const std::array<const char*, 4> kEnvelopes{"FilterEnvelope", "AmpEnvelope", "Envelope3", "Envelope4"};
const std::array<const char*, 4> kEnvelopeShort{"Filter", "Amp", "Env3", "Env4"};

bool Fits(const ControlSpec& c, int v, int sampleCount) {
  if (c.IsList()) {
    int count = c.EntryCount();
    if (c.encoding == Encoding::Shape) count = kShapeCount + sampleCount;
    return v >= 0 && v < count;
  }
  if (c.IsLed()) return v == 0 || v == 1;
  return true;  // knobs of one group share their range; a knob keeps its place otherwise
}

std::vector<GroupCommand> Build() {
  std::vector<GroupCommand> c;
  auto add = [&](std::string caption, std::string name, ControlGroup g, bool swap, int from, int to) {
    c.push_back({std::move(caption), std::move(name), g, swap, from, to});
  };
  using G = ControlGroup;
  for (auto [a, b] : {std::pair{1, 2}, {1, 3}, {2, 3}}) {
    const std::string d = std::to_string(a) + std::to_string(b);
    add("Swap O" + d, "btnSwapO" + d, G::Oscillator, true, a, b);
  }
  for (int from = 1; from <= 3; ++from)
    for (int to = 1; to <= 3; ++to)
      if (from != to)
        add("Copy to O" + std::to_string(to), "btnCopyO" + std::to_string(from) + "toO" + std::to_string(to),
            G::Oscillator, false, from, to);
  add("Swap Filters", "btnSwapFilters", G::Filter, true, 1, 2);
  add("Copy to Filter 2", "btnCopyFilter1toFilter2", G::Filter, false, 1, 2);
  add("Copy to Filter 1", "btnCopyFilter2toFilter1", G::Filter, false, 2, 1);
  for (int a = 1; a <= 4; ++a)
    for (int b = a + 1; b <= 4; ++b) {
      // "Swap FilterAmp", "Swap FilterEnv3", ... "Swap Env3Env4"
      const std::string d = std::string(kEnvelopeShort[a - 1]) + kEnvelopeShort[b - 1];
      add("Swap " + d, "btnSwap" + d, G::Envelope, true, a, b);
    }
  for (int a = 1; a <= 4; ++a)
    for (int b = 1; b <= 4; ++b)
      if (a != b) {
        const std::string d = std::string(kEnvelopeShort[a - 1]) + " to " + kEnvelopeShort[b - 1];
        add("Copy " + d, "btnCopy" + std::string(kEnvelopeShort[a - 1]) + "to" + kEnvelopeShort[b - 1], G::Envelope,
            false, a, b);
      }
  for (auto [a, b] : {std::pair{1, 2}, {1, 3}, {2, 3}}) {
    const std::string d = "LFO" + std::to_string(a) + " LFO" + std::to_string(b);
    add("Swap " + d, "btnSwapLFO" + std::to_string(a) + "LFO" + std::to_string(b), G::Lfo, true, a, b);
  }
  for (auto [a, b] : {std::pair{1, 2}, {1, 3}, {2, 3}, {2, 1}, {3, 2}, {3, 1}}) {
    const std::string d = "LFO" + std::to_string(a) + " to LFO" + std::to_string(b);
    add("Copy " + d, "btnCopyLFO" + std::to_string(a) + "toLFO" + std::to_string(b), G::Lfo, false, a, b);
  }
  return c;
}

}  // namespace

int GroupInstanceCount(ControlGroup group) {
  switch (group) {
    case ControlGroup::Oscillator: return 3;
    case ControlGroup::Filter: return 2;
    case ControlGroup::Envelope: return 4;
    case ControlGroup::Lfo: return 3;
  }
  return 0;
}

std::string GroupInstanceName(ControlGroup group, int instance) {
  const std::string n = std::to_string(instance);
  switch (group) {
    case ControlGroup::Oscillator: return "Oscillator " + n;
    case ControlGroup::Filter: return "Filter " + n;
    case ControlGroup::Envelope: {
      static const std::array<const char*, 4> names{"Filter Envelope", "Amplifier Envelope", "Envelope 3", "Envelope 4"};
      return names.at(static_cast<std::size_t>(instance - 1));
    }
    case ControlGroup::Lfo: return "LFO " + n;
  }
  return {};
}

std::vector<std::string> GroupControls(ControlGroup group, int instance) {
  if (instance < 1 || instance > GroupInstanceCount(group))
    throw std::out_of_range("no instance " + std::to_string(instance) + " in this control group");
  const std::string n = std::to_string(instance);
  switch (group) {
    case ControlGroup::Oscillator: {
      // The first oscillator's source lists and the second's keytrack knob
      // are spelled differently from the others.
      const std::string fm = instance == 1 ? "cmbFmSource1" : "cmbFMSource" + n;
      const std::string pwm = instance == 1 ? "cmbPwmSource1" : "cmbPWMSource" + n;
      const std::string key = instance == 2 ? "KnobKeyTrack2" : "KnobKeytrack" + n;
      return {"cmbShape" + n,      fm,                 pwm,               "KnobOctave" + n,     "KnobSemitone" + n,
              "KnobDetune" + n,    "KnobBandRange" + n, key,              "KnobPulsewidth" + n, "KnobFMAmount" + n,
              "KnobPWMAmount" + n, "KnobVolume" + n,   "KnobBalance" + n, "KnobBrillance" + n,  "CheckLedLimitWT" + n};
    }
    case ControlGroup::Filter: {
      const std::string p = "Filter" + n;
      return {"cmb" + p + "Type",       "Knob" + p + "Cutoff",    "Knob" + p + "Resonance", "Knob" + p + "EnvAmount",
              "Knob" + p + "EnvVelocity", "Knob" + p + "Keytrack", "cmb" + p + "ModSource", "Knob" + p + "ModAmount",
              "cmb" + p + "FMSource",   "Knob" + p + "FMAmount",  "Knob" + p + "Drive",     "Knob" + p + "DriveCurve",
              "cmb" + p + "PanSource",  "Knob" + p + "PanAmount", "Knob" + p + "Pan"};
    }
    case ControlGroup::Envelope: {
      const std::string p = kEnvelopes[static_cast<std::size_t>(instance - 1)];
      return {"cmb" + p + "Mode",      "cmb" + p + "Trigger",     "Knob" + p + "Attack",
              "Knob" + p + "Decay",    "Knob" + p + "Sustain",    "Knob" + p + "Release",
              "Knob" + p + "AttackLevel", "Knob" + p + "Decay2", "Knob" + p + "Sustain2"};
    }
    case ControlGroup::Lfo: {
      const std::string p = "LFO" + n;
      const std::string key = instance == 1 ? "KnobLFO1KeyTrack" : "Knob" + p + "Keytrack";
      return {"cmb" + p + "Shape",        "Knob" + p + "Speed", "CheckLed" + p + "Sync", "CheckLed" + p + "Clocked",
              "Knob" + p + "StartPhase", key,                  "Knob" + p + "Delay",    "Knob" + p + "Fade"};
    }
  }
  return {};
}

const std::vector<GroupCommand>& AllGroupCommands() {
  static const std::vector<GroupCommand> commands = Build();
  return commands;
}

std::vector<std::size_t> ApplyGroupCommand(const GroupCommand& command, ControlState& state, int sampleCount) {
  const auto& map = ParameterMap::Instance();
  const auto from = GroupControls(command.group, command.from);
  const auto to = GroupControls(command.group, command.to);
  std::vector<std::size_t> changed;
  auto set = [&](std::size_t target, int value) {
    if (!Fits(map[target], value, sampleCount) || state.values.at(target) == value) return;
    state.values[target] = value;
    changed.push_back(target);
  };
  for (std::size_t k = 0; k < from.size(); ++k) {
    const std::size_t a = map.IndexOf(from[k]);
    const std::size_t b = map.IndexOf(to[k]);
    const int va = state.values.at(a);
    const int vb = state.values.at(b);
    set(b, va);
    if (command.swap) set(a, vb);
  }
  return changed;
}

}  // namespace tarvix
