#include "editor/Randomizer.h"

#include <stdexcept>

#include "editor/ControlTable.h"
#include "editor/PackedRules.h"

namespace tarvix {
namespace {

using Steps = std::vector<RandomStep>;
using C = RandomizerCommand;

int OffsetOf(const std::string& control) {
  const SchemaControlSpec* s = FindControl(control);
  if (!s) throw std::logic_error("randomizer: unknown control " + control);
  return s->offset;
}

void Add(Steps& s, std::string control, StepRule rule = StepRule::Plain) {
  const int offset = OffsetOf(control);
  s.push_back({rule, std::move(control), {}, offset, 0});
}

void Append(Steps& s, const Steps& more) { s.insert(s.end(), more.begin(), more.end()); }

Steps Oscillator(int n) {
  const std::string d = std::to_string(n);
  Steps s;
  Add(s, "cmbShape" + d, n < 3 ? StepRule::Shape : StepRule::Plain);
  Add(s, n == 1 ? "cmbFmSource1" : "cmbFMSource" + d);
  Add(s, n == 1 ? "cmbPwmSource1" : "cmbPWMSource" + d);
  for (const char* k : {"KnobOctave", "KnobSemitone", "KnobDetune", "KnobBandRange"}) Add(s, k + d);
  Add(s, n == 2 ? "KnobKeyTrack2" : "KnobKeytrack" + d);
  for (const char* k : {"KnobPulsewidth", "KnobFMAmount", "KnobPWMAmount", "KnobVolume", "KnobBalance"}) Add(s, k + d);
  Add(s, "CheckLedLimitWT" + d);
  Add(s, "KnobBrillance" + d);
  if (n == 2) Add(s, "CheckLedSynctoOsc3");
  return s;
}

Steps Common() {
  Steps s;
  for (const char* k : {"cmbPitchSource", "KnobPitchAmount", "CheckLedGlide", "cmbOscMode", "KnobGlideRate"}) Add(s, k);
  s.push_back({StepRule::UnisonoAllocation, "cmbUnisono", "cmbAllocation", OffsetOf("cmbUnisono"), 0});
  for (const char* k : {"KnobUniDetune", "KnobNoiseLevel", "KnobNoiseBalance", "KnobNoiseColour", "KnobRMLevel",
                        "KnobRMBalance"})
    Add(s, k);
  return s;
}

Steps Filter(int n) {
  const std::string p = "Filter" + std::to_string(n);
  Steps s;
  Add(s, "cmb" + p + "Type");
  for (const char* k : {"Cutoff", "Resonance", "EnvAmount", "EnvVelocity", "Keytrack"}) Add(s, "Knob" + p + k);
  Add(s, "cmb" + p + "ModSource");
  Add(s, "Knob" + p + "ModAmount");
  Add(s, "cmb" + p + "FMSource");
  for (const char* k : {"FMAmount", "Drive", "DriveCurve"}) Add(s, "Knob" + p + k);
  Add(s, "cmb" + p + "PanSource");
  Add(s, "Knob" + p + "PanAmount");
  Add(s, "Knob" + p + "Pan");
  return s;
}

Steps Envelope(const std::string& p) {
  Steps s;
  s.push_back({StepRule::EnvelopeMode, "cmb" + p + "Trigger", "cmb" + p + "Mode", OffsetOf("cmb" + p + "Mode"), 0});
  for (const char* k : {"Attack", "Decay", "Sustain", "Release", "AttackLevel", "Decay2", "Sustain2"})
    Add(s, "Knob" + p + k);
  return s;
}

Steps Lfo(int n) {
  const std::string p = "LFO" + std::to_string(n);
  Steps s;
  Add(s, "cmb" + p + "Shape");
  Add(s, "Knob" + p + "Speed");
  Add(s, "CheckLed" + p + "Sync");
  Add(s, "CheckLed" + p + "Clocked");
  Add(s, "Knob" + p + "StartPhase");
  Add(s, n == 1 ? "KnobLFO1KeyTrack" : "Knob" + p + "Keytrack");
  Add(s, "Knob" + p + "Delay");
  Add(s, "Knob" + p + "Fade");
  return s;
}

Steps Modulation() {
  Steps s;
  for (int n = 1; n <= 16; ++n) Add(s, "cmbModulation" + std::to_string(n) + "Source");
  for (int n = 1; n <= 16; ++n) Add(s, "KnobModulation" + std::to_string(n) + "Amount");
  for (int n = 1; n <= 16; ++n) Add(s, "cmbModulation" + std::to_string(n) + "Destination");
  return s;
}

Steps Modifier() {
  Steps s;
  for (int n = 1; n <= 4; ++n) {
    const std::string p = "Modifier" + std::to_string(n);
    Add(s, "cmb" + p + "SourceA");
    Add(s, "cmb" + p + "SourceB");
    Add(s, "cmb" + p + "Operation");
    Add(s, "Knob" + p + "Constant");
  }
  return s;
}

// The arpeggiator globals after the mode, which "Init Arp" sets instead.
Steps ArpGlobalsAfterMode() {
  Steps s;
  for (const char* k : {"cmbArpClock", "cmbArpPattern", "KnobArpTempo", "cmbArpDirection", "cmbArpOctave",
                        "cmbArpLength", "cmbArpSortOrder", "KnobArpTimingFactor", "cmbArpVelocity",
                        "cmbArpPtnLength", "CheckLedPtnReset"})
    Add(s, k);
  return s;
}

// A step byte: type "normal" (bits 4-6), no glide (bit 3), accent "*1" (bits 0-2).
constexpr int kPlainStep = 0x04;

Steps ArpField(const char* control, StepRule rule, int first = 1) {
  Steps s;
  for (int k = first; k <= 16; ++k) Add(s, control + std::to_string(k), rule);
  return s;
}

Steps Effect(int n) {
  Steps s;
  if (n == 1) {
    Add(s, "cmbEffect1Type");
    Add(s, "knobEffect1Mix");
    Add(s, "CheckLedEffectPara0");
    for (int k = 1; k <= 7; ++k) Add(s, "KnobEffect1Para" + std::to_string(k));
    Add(s, "cmbEffect1Curve");
  } else {
    Add(s, "cmbEffect2type");
    Add(s, "KnobEffect2Mix");
    for (int k = 1; k <= 8; ++k) Add(s, "KnobEffect2Para" + std::to_string(k));
    Add(s, "CheckLedEffect2Para0");
    Add(s, "cmbEffect2Curve");
  }
  return s;
}

const char* const kEnvelopes[] = {"FilterEnvelope", "AmpEnvelope", "Envelope3", "Envelope4"};

}  // namespace

std::string_view RandomizerCaption(RandomizerCommand c) {
  switch (c) {
    case C::Osc1: return "Randomize Osc1";
    case C::Osc2: return "Randomize Osc2";
    case C::Osc3: return "Randomize Osc3";
    case C::Common: return "Randomize Common";
    case C::Filter1: return "Randomize Filter1";
    case C::Filter2: return "Randomize Filter2";
    case C::Routing: return "Randomize Routing";
    case C::FilterEnvelope: return "Randomize Filter Envelope";
    case C::AmpEnvelope: return "Randomize Amp Envelope";
    case C::Envelope3: return "Randomize Envelope 3";
    case C::Envelope4: return "Randomize Envelope 4";
    case C::Lfo1: return "Randomize LFO 1";
    case C::Lfo2: return "Randomize LFO 2";
    case C::Lfo3: return "Randomize LFO 3";
    case C::Modulation: return "Randomize Modulation";
    case C::Modifier: return "Randomize Modifier";
    case C::ArpGlobals: return "Rand Globals";
    case C::ArpStep: return "Rand Step";
    case C::ArpAccent: return "Rand Accent";
    case C::ArpGlide: return "Rand Glide";
    case C::ArpTiming: return "Rand Timing";
    case C::ArpLength: return "Rand Length";
    case C::Effect1: return "Randomize Effect 1";
    case C::Effect2: return "Randomize Effect 2";
    case C::InitArp: return "Init Arp";
    case C::Oscillators: return "Randomize Oscillators (Ctrl+1)";
    case C::Filters: return "Randomize Filters (Ctrl+2)";
    case C::Envelopes: return "Randomize Envelopes (Ctrl+3)";
    case C::Lfos: return "Randomize LFOs (Ctrl+4)";
    case C::Matrix: return "Randomize Matrix (Ctrl+5)";
    case C::Arpeggiator: return "Randomize Arpeggiator (Ctrl+6)";
    case C::Effects: return "Randomize Effects (Ctrl+7)";
    case C::Sound: return "Randomize Sound (Ctrl+0)";
  }
  return {};
}

const std::vector<RandomizerCommand>& AllRandomizerCommands() {
  static const std::vector<RandomizerCommand> all = [] {
    std::vector<RandomizerCommand> v;
    for (int i = 0; i <= static_cast<int>(C::Sound); ++i) v.push_back(static_cast<C>(i));
    return v;
  }();
  return all;
}

std::vector<RandomStep> RandomizerSteps(RandomizerCommand c) {
  Steps s;
  switch (c) {
    case C::Osc1: return Oscillator(1);
    case C::Osc2: return Oscillator(2);
    case C::Osc3: return Oscillator(3);
    case C::Common: return Common();
    case C::Filter1: return Filter(1);
    case C::Filter2: return Filter(2);
    case C::Routing: Add(s, "cmbFilterRouting"); return s;
    case C::FilterEnvelope: return Envelope(kEnvelopes[0]);
    case C::AmpEnvelope: return Envelope(kEnvelopes[1]);
    case C::Envelope3: return Envelope(kEnvelopes[2]);
    case C::Envelope4: return Envelope(kEnvelopes[3]);
    case C::Lfo1: return Lfo(1);
    case C::Lfo2: return Lfo(2);
    case C::Lfo3: return Lfo(3);
    case C::Modulation: return Modulation();
    case C::Modifier: return Modifier();
    case C::ArpGlobals:
      Add(s, "cmbArpMode");
      Append(s, ArpGlobalsAfterMode());
      return s;
    case C::ArpStep: return ArpField("KnobArpStep", StepRule::ArpStepType);
    case C::ArpAccent: return ArpField("KnobArpAccent", StepRule::ArpAccent);
    case C::ArpGlide: return ArpField("CheckLedGlide", StepRule::ArpGlide);
    case C::ArpTiming: return ArpField("KnobArpTiming", StepRule::ArpTiming);
    case C::ArpLength: return ArpField("KnobArpLength", StepRule::ArpLength);
    case C::Effect1: return Effect(1);
    case C::Effect2: return Effect(2);
    case C::InitArp:
      s.push_back({StepRule::Fixed, {}, {}, OffsetOf("cmbArpMode"), 1});  // "on"
      Append(s, ArpGlobalsAfterMode());
      // Every step starts plain and sounding: type "normal", no glide,
      // accent "*1" (an accent of 0 would silence the step). Steps 3 to 16
      // then draw their type, which keeps that accent.
      for (int k = 1; k <= 16; ++k)
        s.push_back({StepRule::Fixed, {}, {}, OffsetOf("KnobArpStep" + std::to_string(k)), kPlainStep});
      Append(s, ArpField("KnobArpStep", StepRule::ArpStepType, 3));
      Append(s, ArpField("KnobArpTiming", StepRule::ArpTiming));
      return s;
    case C::Oscillators:
      for (C part : {C::Osc1, C::Osc2, C::Osc3, C::Common}) Append(s, RandomizerSteps(part));
      return s;
    case C::Filters:
      for (C part : {C::Filter1, C::Filter2, C::Routing}) Append(s, RandomizerSteps(part));
      return s;
    case C::Envelopes:
      for (C part : {C::FilterEnvelope, C::AmpEnvelope, C::Envelope3, C::Envelope4}) Append(s, RandomizerSteps(part));
      return s;
    case C::Lfos:
      for (C part : {C::Lfo1, C::Lfo2, C::Lfo3}) Append(s, RandomizerSteps(part));
      return s;
    case C::Matrix:
      for (C part : {C::Modulation, C::Modifier}) Append(s, RandomizerSteps(part));
      return s;
    case C::Arpeggiator:
      for (C part : {C::ArpGlobals, C::ArpStep, C::ArpAccent, C::ArpGlide, C::ArpTiming, C::ArpLength})
        Append(s, RandomizerSteps(part));
      return s;
    case C::Effects:
      for (C part : {C::Effect1, C::Effect2}) Append(s, RandomizerSteps(part));
      return s;
    case C::Sound:
      // Each parameter is drawn once: the single commands in table order,
      // which is also the order of the group commands.
      for (C part : AllRandomizerCommands()) {
        if (part == C::InitArp) break;
        Append(s, RandomizerSteps(part));
      }
      return s;
  }
  return s;
}

void RunSteps(const std::vector<RandomStep>& steps, SoundData& sound, const DrawValue& draw,
              const WritePlainValue& writePlain) {
  for (const RandomStep& step : steps) {
    const auto at = static_cast<std::size_t>(step.offset);
    std::uint8_t& byte = sound[at];
    switch (step.rule) {
      case StepRule::Plain: {
        const int value = draw(step.control);
        if (writePlain)
          writePlain(sound, step.control, value);
        else
          byte = EncodeValue(*FindControl(step.control), value);
        break;
      }
      case StepRule::Shape: {
        const ShapeBytes b = PackShape(draw(step.control));
        byte = b.shape;
        sound[at + kSampleFlagDistance] = b.sampleFlag;
        break;
      }
      case StepRule::UnisonoAllocation:
      case StepRule::EnvelopeMode: {
        const int first = draw(step.control);
        const int second = draw(step.second);
        byte = step.rule == StepRule::UnisonoAllocation ? PackUnisonoAllocation(first, second)
                                                        : PackEnvelopeMode(first, second);
        break;
      }
      case StepRule::ArpGlide: byte = WithArpGlide(byte, draw(step.control)); break;
      case StepRule::ArpStepType: byte = WithArpStepType(byte, draw(step.control)); break;
      case StepRule::ArpAccent: byte = WithArpAccent(byte, draw(step.control)); break;
      case StepRule::ArpTiming: byte = WithArpTiming(byte, draw(step.control)); break;
      case StepRule::ArpLength: byte = WithArpLength(byte, draw(step.control)); break;
      case StepRule::Fixed: byte = static_cast<std::uint8_t>(step.value); break;
    }
  }
}

void RunRandomizer(RandomizerCommand command, SoundData& sound, const DrawValue& draw,
                   const WritePlainValue& writePlain) {
  RunSteps(RandomizerSteps(command), sound, draw, writePlain);
}

}  // namespace tarvix
