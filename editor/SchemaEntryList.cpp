#include "editor/SchemaEntryList.h"

namespace tarvix {
namespace {

std::vector<SchemaEntryName> Build() {
  std::vector<SchemaEntryName> e;
  auto add = [&](std::string key, std::string control) { e.push_back({std::move(key), std::move(control)}); };

  // Oscillators. A few control names do not follow the pattern of the first
  // oscillator; they are spelled as the editor's components are.
  for (int n = 1; n <= 3; ++n) {
    const std::string d = std::to_string(n);
    const std::string s = "_" + d;
    add("Shape" + s, "cmbShape" + d);
    add("Octave" + s, "KnobOctave" + d);
    add("Balance" + s, "KnobBalance" + d);
    add("Pulsewidth" + s, "KnobPulsewidth" + d);
    add("Semitone" + s, "KnobSemitone" + d);
    add("Detune" + s, "KnobDetune" + d);
    add("Volume" + s, "KnobVolume" + d);
    add("PWM_Source" + s, n == 1 ? "cmbPwmSource1" : "cmbPWMSource" + d);
    add("PWM_Amount" + s, "KnobPWMAmount" + d);
    add("FM_Source" + s, n == 1 ? "cmbFmSource1" : "cmbFMSource" + d);
    add("FM_Amount" + s, "KnobFMAmount" + d);
    add("Limit_WT" + s, "CheckLedLimitWT" + d);
    add("Brillance" + s, "KnobBrillance" + d);
    add("Keytrack" + s, n == 2 ? "KnobKeyTrack2" : "KnobKeytrack" + d);
    add("Band_Range" + s, "KnobBandRange" + d);
    if (n == 2) add("Sync_to_O3", "CheckLedSynctoOsc3");
  }

  add("GlideRate", "KnobGlideRate");
  add("Unidetune", "KnobUniDetune");
  add("Glide", "CheckLedGlide");
  add("Mode", "cmbAllocation");
  add("OscMode", "cmbOscMode");
  add("UniSono", "cmbUnisono");
  add("Pitch_Source", "cmbPitchSource");
  add("Pitch Amount", "KnobPitchAmount");
  add("RM_Level", "KnobRMLevel");
  add("RM_Balance", "KnobRMBalance");
  add("NoiseLevel", "KnobNoiseLevel");
  add("Noise_Balance", "KnobNoiseBalance");
  add("Noise_Colour", "KnobNoiseColour");

  for (const char* f : {"Filter1", "Filter2"}) {
    const std::string p = f;
    add(p + "Type", "cmb" + p + "Type");
    add(p + "Cutoff", "Knob" + p + "Cutoff");
    add(p + "Resonance", "Knob" + p + "Resonance");
    add(p + "EnvAmount", "Knob" + p + "EnvAmount");
    add(p + "EnvVelocity", "Knob" + p + "EnvVelocity");
    add(p + "Keytrack", "Knob" + p + "Keytrack");
    add(p + "ModSource", "cmb" + p + "ModSource");
    add(p + "ModAmount", "Knob" + p + "ModAmount");
    add(p + "FMSource", "cmb" + p + "FMSource");
    add(p + "FMAmount", "Knob" + p + "FMAmount");
    add(p + "Drive", "Knob" + p + "Drive");
    add(p + "DriveCurve", "Knob" + p + "DriveCurve");
    add(p + "PanSource", "cmb" + p + "PanSource");
    add(p + "PanAmount", "Knob" + p + "PanAmount");
    add(p + "Pan", "Knob" + p + "Pan");
  }
  add("FilterRouting", "cmbFilterRouting");

  for (const char* env : {"FilterEnvelope", "AmpEnvelope", "Envelope3", "Envelope4"}) {
    const std::string p = env;
    add(p + "Trigger", "cmb" + p + "Trigger");
    add(p + "Mode", "cmb" + p + "Mode");
    for (const char* k : {"Attack", "Decay", "Sustain", "Release", "AttackLevel", "Decay2", "Sustain2"})
      add(p + k, "Knob" + p + k);
  }

  for (int n = 1; n <= 3; ++n) {
    const std::string p = "LFO" + std::to_string(n);
    add(p + "Shape", "cmb" + p + "Shape");
    add(p + "Speed", "Knob" + p + "Speed");
    add(p + "Sync", "CheckLed" + p + "Sync");
    add(p + "Clocked", "CheckLed" + p + "Clocked");
    add(p + "StartPhase", "Knob" + p + "StartPhase");
    add(p + "Keytrack", n == 1 ? "KnobLFO1KeyTrack" : "Knob" + p + "Keytrack");
    add(p + "StartPhase", "Knob" + p + "StartPhase");  // a second entry, kept for the file format
    add(p + "Delay", "Knob" + p + "Delay");
    add(p + "Fade", "Knob" + p + "Fade");
  }

  for (int n = 1; n <= 16; ++n) {
    const std::string d = std::to_string(n);
    add("Modulation" + d + "Source", "cmbModulation" + d + "Source");
  }
  for (int n = 1; n <= 16; ++n) {
    const std::string d = std::to_string(n);
    add("Modulation" + d + "Mount", "KnobModulation" + d + "Amount");
  }
  for (int n = 1; n <= 16; ++n) {
    const std::string d = std::to_string(n);
    add("Modulation" + d + "Destination", "cmbModulation" + d + "Destination");
  }

  for (int n = 1; n <= 4; ++n) {
    const std::string p = "Modifier" + std::to_string(n);
    add(p + "SourceA", "cmb" + p + "SourceA");
    add(p + "SourceB", "cmb" + p + "SourceB");
    add(p + "Operation", "cmb" + p + "Operation");
    add(p + "Constant", "Knob" + p + "Constant");
  }

  add("AmplifierVolume", "KnobAmplifierVolume");
  add("AmplifierVelocity", "KnobAmplifierVelocity");
  add("AmplifierModSource", "cmbAmplifierModSource");
  add("AmplifierMOdAmount", "KnobAmplifierModAmount");
  add("Effect1Type", "cmbEffect1Type");
  add("Effetc1Mix", "knobEffect1Mix");
  add("Effetc2Type", "cmbEffect2type");
  add("Effetc2Mix", "KnobEffect2Mix");

  add("ArpMode", "cmbArpMode");
  add("ArpClock", "cmbArpClock");
  add("ArpPattern", "cmbArpPattern");
  add("ArpTempo", "KnobArpTempo");
  add("ArpDirection", "cmbArpDirection");
  add("ArpOctave", "cmbArpOctave");
  add("ArpLength", "cmbArpLength");
  add("ArpSortOrder", "cmbArpSortOrder");
  add("ArpTimingFact", "KnobArpTimingFactor");
  add("ArpVelo", "cmbArpVelocity");
  add("ArpPtnLen", "cmbArpPtnLength");
  add("ArpPtnReset", "CheckLedPtnReset");
  const struct {
    const char* key;
    const char* control;
  } steps[] = {{"ArpStep", "KnobArpStep"},
               {"ArpAccent", "KnobArpAccent"},
               {"ArpGlide", "CheckLedGlide"},
               {"ArpTiming", "KnobArpTiming"},
               {"ArpLen", "KnobArpLength"}};
  for (const auto& s : steps)
    for (int k = 1; k <= 16; ++k) add(s.key + std::to_string(k), s.control + std::to_string(k));

  add("Effect1Type", "cmbEffect1Type");
  add("Effect1Mix", "knobEffect1Mix");
  add("Effect1CheckL", "CheckLedEffectPara0");
  for (int k = 1; k <= 7; ++k) add("Effect1Para" + std::to_string(k), "KnobEffect1Para" + std::to_string(k));
  add("Effect1Curve", "cmbEffect1Curve");
  add("Effect2Type", "cmbEffect2type");
  add("Effect2Mix", "KnobEffect2Mix");
  add("Effect2CheckL", "CheckLedEffect2Para0");
  for (int k = 1; k <= 10; ++k) add("Effect2Para" + std::to_string(k), "KnobEffect2Para" + std::to_string(k));
  add("Effect2Curve", "cmbEffect2Curve");
  add("Effect2Length", "cmbEffect2Length");
  return e;
}

}  // namespace

const std::vector<SchemaEntryName>& SchemaEntryList() {
  static const std::vector<SchemaEntryName> list = Build();
  return list;
}

}  // namespace tarvix
