#include "editor/ControlTable.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "editor/PackedRules.h"

namespace tarvix {
namespace {

// Shared list sizes.
constexpr int kModSources = 31;
constexpr int kFmSources = 12;
constexpr int kWaveShapes = 125;  // without sample names

std::vector<SchemaControlSpec> Build() {
  std::vector<SchemaControlSpec> t;
  auto knob = [&](std::string name, int offset, int min = 0, int max = 127, int tag = 0) {
    SchemaEncoding enc = min < 0 ? SchemaEncoding::Centred : SchemaEncoding::Raw;
    if (tag == knobtag::kOctave) enc = SchemaEncoding::Octave;
    t.push_back({{std::move(name), ControlKind::Knob, min, max, tag, 0}, offset, enc});
  };
  auto centred = [&](std::string name, int offset, int tag = 0) { knob(std::move(name), offset, -64, 63, tag); };
  auto list = [&](std::string name, int offset, int entries, SchemaEncoding enc = SchemaEncoding::Index) {
    t.push_back({{std::move(name), ControlKind::List, 0, 0, 0, entries}, offset, enc});
  };
  auto led = [&](std::string name, int offset, SchemaEncoding enc) {
    t.push_back({{std::move(name), ControlKind::Led, 0, 1, 0, 0}, offset, enc});
  };
  auto packedKnob = [&](std::string name, int offset, int tag) {
    t.push_back({{std::move(name), ControlKind::Knob, 0, 7, tag, 0}, offset, SchemaEncoding::Packed});
  };

  for (int n = 1; n <= 3; ++n) {
    const std::string d = std::to_string(n);
    const int o = 16 * (n - 1);
    knob("KnobOctave" + d, 8 + o, 0, 8, knobtag::kOctave);
    knob("KnobSemitone" + d, 9 + o, -12, 12, knobtag::kSemitone);
    centred("KnobDetune" + d, 10 + o, knobtag::kDetune);
    knob("KnobBandRange" + d, 11 + o, -24, 24);
    knob(n == 2 ? "KnobKeyTrack2" : "KnobKeytrack" + d, 12 + o, 0, 127, knobtag::kKeytrack);
    list(n == 1 ? "cmbFmSource1" : "cmbFMSource" + d, 13 + o, kFmSources);
    knob("KnobFMAmount" + d, 14 + o);
    // Oscillators 1 and 2 keep a sample flag beside the shape byte.
    if (n < 3)
      list("cmbShape" + d, 15 + o, kWaveShapes, SchemaEncoding::Packed);
    else
      list("cmbShape3", 15 + o, 5);
    knob("KnobPulsewidth" + d, 16 + o);
    list(n == 1 ? "cmbPwmSource1" : "cmbPWMSource" + d, 17 + o, kModSources);
    centred("KnobPWMAmount" + d, 18 + o);
    led("CheckLedLimitWT" + d, 21 + o, SchemaEncoding::InvertedFlag);
    knob("KnobBrillance" + d, 23 + o);
    knob("KnobVolume" + d, 68 + 2 * (n - 1));
    centred("KnobBalance" + d, 69 + 2 * (n - 1), knobtag::kBalance);
  }
  led("CheckLedSynctoOsc3", 56, SchemaEncoding::Flag);
  list("cmbPitchSource", 57, kModSources);
  centred("KnobPitchAmount", 58);
  led("CheckLedGlide", 60, SchemaEncoding::Flag);
  list("cmbOscMode", 63, 4);
  knob("KnobGlideRate", 64);
  list("cmbUnisono", 65, 6, SchemaEncoding::Packed);
  list("cmbAllocation", 65, 2, SchemaEncoding::Packed);
  knob("KnobUniDetune", 66);
  knob("KnobNoiseLevel", 74);
  centred("KnobNoiseBalance", 75);
  centred("KnobNoiseColour", 76);
  knob("KnobRMLevel", 78);
  centred("KnobRMBalance", 79);

  for (int n = 1; n <= 2; ++n) {
    const std::string p = "Filter" + std::to_string(n);
    const int o = 20 * (n - 1);
    list("cmb" + p + "Type", 84 + o, 12);
    knob("Knob" + p + "Cutoff", 85 + o);
    knob("Knob" + p + "Resonance", 87 + o);
    knob("Knob" + p + "Drive", 88 + o);
    knob("Knob" + p + "DriveCurve", 89 + o);
    knob("Knob" + p + "Keytrack", 93 + o, 0, 127, knobtag::kKeytrack);
    centred("Knob" + p + "EnvAmount", 94 + o);
    centred("Knob" + p + "EnvVelocity", 95 + o);
    list("cmb" + p + "ModSource", 96 + o, kModSources);
    centred("Knob" + p + "ModAmount", 97 + o);
    list("cmb" + p + "FMSource", 98 + o, kFmSources);
    knob("Knob" + p + "FMAmount", 99 + o);
    centred("Knob" + p + "Pan", 100 + o);
    list("cmb" + p + "PanSource", 101 + o, kModSources);
    centred("Knob" + p + "PanAmount", 102 + o);
  }
  list("cmbFilterRouting", 124, 2);

  knob("KnobAmplifierVolume", 128);
  centred("KnobAmplifierVelocity", 129);
  list("cmbAmplifierModSource", 130, kModSources);
  centred("KnobAmplifierModAmount", 131);

  list("cmbEffect1Type", 135, 6);
  knob("knobEffect1Mix", 136);
  for (int k = 1; k <= 7; ++k) knob("KnobEffect1Para" + std::to_string(k), 136 + k);
  led("CheckLedEffectPara0", 145, SchemaEncoding::InvertedFlag);
  list("cmbEffect1Curve", 146, 12);
  list("cmbEffect2type", 151, 9);
  knob("KnobEffect2Mix", 152);
  for (int k = 1; k <= 8; ++k) knob("KnobEffect2Para" + std::to_string(k), 152 + k);
  // Bytes 161 and 162 are shared: which control owns them depends on the
  // effect type shown.
  led("CheckLedEffect2Para0", 161, SchemaEncoding::InvertedFlag);
  knob("KnobEffect2Para9", 161);
  list("cmbEffect2Curve", 162, 12);
  centred("KnobEffect2Para10", 162);
  list("cmbEffect2Length", 163, 30);

  for (int n = 1; n <= 3; ++n) {
    const std::string p = "LFO" + std::to_string(n);
    const int o = 12 * (n - 1);
    list("cmb" + p + "Shape", 167 + o, 6);
    knob("Knob" + p + "Speed", 168 + o, 0, 127, knobtag::kLfoSpeed);
    led("CheckLed" + p + "Sync", 170 + o, SchemaEncoding::Flag);
    led("CheckLed" + p + "Clocked", 171 + o, SchemaEncoding::Flag);
    knob("Knob" + p + "StartPhase", 172 + o, 0, 127, knobtag::kStartPhase);
    knob("Knob" + p + "Delay", 173 + o);
    centred("Knob" + p + "Fade", 174 + o);
    knob(n == 1 ? "KnobLFO1KeyTrack" : "Knob" + p + "Keytrack", 177 + o, 0, 127, knobtag::kKeytrack);
  }

  const char* envs[] = {"FilterEnvelope", "AmpEnvelope", "Envelope3", "Envelope4"};
  for (int n = 0; n < 4; ++n) {
    const std::string p = envs[n];
    const int base = 203 + 12 * n;
    list("cmb" + p + "Mode", base, 5, SchemaEncoding::Packed);
    list("cmb" + p + "Trigger", base, 2, SchemaEncoding::Packed);
    knob("Knob" + p + "Attack", base + 3);
    knob("Knob" + p + "AttackLevel", base + 4);
    knob("Knob" + p + "Decay", base + 5);
    knob("Knob" + p + "Sustain", base + 6);
    knob("Knob" + p + "Decay2", base + 7);
    knob("Knob" + p + "Sustain2", base + 8);
    knob("Knob" + p + "Release", base + 9);
  }

  for (int n = 1; n <= 4; ++n) {
    const std::string p = "Modifier" + std::to_string(n);
    const int base = 252 + 4 * (n - 1);
    list("cmb" + p + "SourceA", base, kModSources);
    list("cmb" + p + "SourceB", base + 1, kModSources);
    list("cmb" + p + "Operation", base + 2, 8);
    centred("Knob" + p + "Constant", base + 3);
  }
  for (int n = 1; n <= 16; ++n) {
    const std::string d = std::to_string(n);
    const int base = 268 + 3 * (n - 1);
    list("cmbModulation" + d + "Source", base, kModSources);
    list("cmbModulation" + d + "Destination", base + 1, 54);
    centred("KnobModulation" + d + "Amount", base + 2);
  }

  list("cmbArpMode", 318, 4);
  list("cmbArpPattern", 319, 17);
  list("cmbArpClock", 321, 43);
  list("cmbArpLength", 322, 44);
  list("cmbArpOctave", 323, 10);
  list("cmbArpDirection", 324, 4);
  list("cmbArpSortOrder", 325, 6);
  list("cmbArpVelocity", 326, 7);
  knob("KnobArpTimingFactor", 327);
  led("CheckLedPtnReset", 329, SchemaEncoding::Flag);
  list("cmbArpPtnLength", 330, 16);
  knob("KnobArpTempo", 333, 0, 127, knobtag::kTempo);
  for (int k = 1; k <= 16; ++k) {
    const std::string d = std::to_string(k);
    packedKnob("KnobArpStep" + d, 333 + k, knobtag::kArpStep);
    packedKnob("KnobArpAccent" + d, 333 + k, knobtag::kArpAccent);
    t.push_back({{"CheckLedGlide" + d, ControlKind::Led, 0, 1, 0, 0}, 333 + k, SchemaEncoding::Packed});
    packedKnob("KnobArpTiming" + d, 349 + k, knobtag::kArpTiming);
    packedKnob("KnobArpLength" + d, 349 + k, knobtag::kArpLength);
  }
  return t;
}

std::uint8_t Clamp7(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 127)); }

}  // namespace

const std::vector<SchemaControlSpec>& ControlTable() {
  static const std::vector<SchemaControlSpec> table = Build();
  return table;
}

const SchemaControlSpec* FindControl(std::string_view name) {
  static const std::unordered_map<std::string_view, const SchemaControlSpec*> index = [] {
    std::unordered_map<std::string_view, const SchemaControlSpec*> m;
    for (const auto& s : ControlTable()) m.emplace(s.control.name, &s);
    return m;
  }();
  const auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

std::vector<SchemaControl> ControlTableDescriptors() {
  std::vector<SchemaControl> out;
  for (const auto& s : ControlTable()) out.push_back(s.control);
  return out;
}

std::uint8_t EncodeValue(const SchemaControlSpec& spec, int value) {
  switch (spec.encoding) {
    case SchemaEncoding::Raw:
    case SchemaEncoding::Index:
    case SchemaEncoding::Packed: return Clamp7(value);
    case SchemaEncoding::Centred: return Clamp7(value + 64);
    case SchemaEncoding::Octave: return Clamp7(16 + 12 * value);
    case SchemaEncoding::Flag: return value == 0 ? 1 : 0;  // index 0 is "On"
    case SchemaEncoding::InvertedFlag: return value == 0 ? 0 : 1;
  }
  return 0;
}

int DecodeValue(const SchemaControlSpec& spec, const SoundData& sound) {
  const int b = sound[static_cast<std::size_t>(spec.offset)];
  const int entries = spec.control.entryCount;
  auto listIndex = [&](int i) { return i >= 0 && i < entries ? i : -1; };
  const std::string& name = spec.control.name;
  switch (spec.encoding) {
    case SchemaEncoding::Raw: return b;
    case SchemaEncoding::Centred: return b - 64;
    case SchemaEncoding::Octave: return (b - 16) / 12;
    case SchemaEncoding::Index: return listIndex(b);
    case SchemaEncoding::Flag: return b == 1 ? 0 : 1;
    case SchemaEncoding::InvertedFlag: return b == 0 ? 0 : 1;
    case SchemaEncoding::Packed: break;
  }
  if (name.starts_with("cmbShape")) {
    const bool sample = sound[static_cast<std::size_t>(spec.offset + kSampleFlagDistance)] != 0;
    return listIndex(sample ? b + kFirstSampleEntry : b);
  }
  if (name == "cmbUnisono") return listIndex(b >> 4);
  if (name == "cmbAllocation") return b & 1;
  if (name.ends_with("Trigger")) return (b >> 5) & 1;
  if (name.ends_with("Mode")) return listIndex(b & 31);
  if (name.starts_with("KnobArpStep")) return (b >> 4) & 7;
  if (name.starts_with("KnobArpAccent")) return b & 7;
  if (name.starts_with("CheckLedGlide")) return ((b >> 3) & 1) ? 0 : 1;
  if (name.starts_with("KnobArpTiming")) return b & 7;
  if (name.starts_with("KnobArpLength")) return (b >> 4) & 7;
  return b;
}

}  // namespace tarvix
