#include "editor/ParameterMap.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "editor/CaptionFormat.h"

namespace tarvix {

std::string_view PageName(Page p) {
  switch (p) {
    case Page::Oscillators: return "Oscillators";
    case Page::Filters: return "Filters";
    case Page::Envelopes: return "Envelopes";
    case Page::LFOs: return "LFOs";
    case Page::Matrix: return "Matrix";
    case Page::Arpeggiator: return "Arpeggiator";
    case Page::AmplifierEffects: return "Amplifier / Effects";
    case Page::Header: return "";
  }
  return "";
}

namespace {

// Fills the table group by group; the page and group of the rows that follow
// are set with Section().
class TableBuilder {
 public:
  explicit TableBuilder(std::vector<ControlSpec>& out) : out_(out) {}

  void Section(Page page, std::string group) {
    page_ = page;
    group_ = std::move(group);
  }

  ControlSpec& Knob(std::string name, int offset, std::string label, int min = 0, int max = 127,
                    Encoding enc = Encoding::Raw, int tag = 0) {
    return Add(std::move(name), ControlKind::Knob, enc, offset, std::move(label), min, max, tag, nullptr);
  }
  ControlSpec& Centred(std::string name, int offset, std::string label, int min = -64, int max = 63, int tag = 0) {
    return Knob(std::move(name), offset, std::move(label), min, max, Encoding::Centred, tag);
  }
  ControlSpec& List(std::string name, int offset, std::string label, const Vocabulary& entries) {
    return Add(std::move(name), ControlKind::List, Encoding::Index, offset, std::move(label), 0,
               static_cast<int>(entries.size()) - 1, 0, &entries);
  }
  ControlSpec& Led(std::string name, int offset, std::string caption, bool inverted = false) {
    return Add(std::move(name), ControlKind::Led, inverted ? Encoding::InvertedFlag : Encoding::Flag, offset,
               std::move(caption), 0, 1, 0, nullptr);
  }

  static ControlSpec& Packed(ControlSpec& c, int shift, int mask) {
    c.encoding = Encoding::Packed;
    c.shift = shift;
    c.mask = mask;
    return c;
  }

 private:
  ControlSpec& Add(std::string name, ControlKind kind, Encoding enc, int offset, std::string label, int min, int max,
                   int tag, const Vocabulary* entries) {
    ControlSpec c;
    c.name = std::move(name);
    c.kind = kind;
    c.encoding = enc;
    c.offset = offset;
    c.min = min;
    c.max = max;
    c.tag = tag;
    c.entries = entries;
    c.label = std::move(label);
    c.page = page_;
    c.group = group_;
    out_.push_back(std::move(c));
    return out_.back();
  }

  std::vector<ControlSpec>& out_;
  Page page_ = Page::Oscillators;
  std::string group_;
};

std::string N(const char* prefix, int n, const char* suffix = "") {
  return prefix + std::to_string(n) + suffix;
}

void AddOscillators(TableBuilder& b) {
  for (int n = 1; n <= 3; ++n) {
    const int o = 8 + 16 * (n - 1);  // the three oscillators share one layout
    b.Section(Page::Oscillators, N("Oscillator ", n));
    b.Knob(N("KnobOctave", n), o + 0, "Octave", 0, 8, Encoding::Octave, tag::kOctave);
    b.Centred(N("KnobSemitone", n), o + 1, "Semitone", -12, 12, tag::kSemitone);
    b.Centred(N("KnobDetune", n), o + 2, "Detune", -64, 63, tag::kDetune);
    b.Centred(N("KnobBandRange", n), o + 3, "Band Range", -24, 24);
    b.Knob(n == 2 ? "KnobKeyTrack2" : N("KnobKeytrack", n), o + 4, "Keytrack", 0, 127, Encoding::Raw, tag::kKeytrack);
    b.List(n == 1 ? "cmbFmSource1" : N("cmbFMSource", n), o + 5, "FM Source", FmSourceNames());
    b.Knob(N("KnobFMAmount", n), o + 6, "FM Amount");
    if (n < 3) {
      auto& shape = b.List(N("cmbShape", n), o + 7, "Shape", WaveShapeNames());
      shape.encoding = Encoding::Shape;
      shape.sampleFlagOffset = o + 14;
    } else {
      b.List("cmbShape3", o + 7, "Shape", Osc3ShapeNames());
    }
    b.Knob(N("KnobPulsewidth", n), o + 8, "Pulsewidth");
    b.List(n == 1 ? "cmbPwmSource1" : N("cmbPWMSource", n), o + 9, "PWM Source", ModSourceNames());
    b.Centred(N("KnobPWMAmount", n), o + 10, "PWM Amount");
    b.Led(N("CheckLedLimitWT", n), o + 13, "Limit WT", /*inverted=*/true);
    b.Knob(N("KnobBrillance", n), o + 15, "Brillance");
    b.Knob(N("KnobVolume", n), 68 + 2 * (n - 1), "Level");
    b.Centred(N("KnobBalance", n), 69 + 2 * (n - 1), "Balance", -64, 63, tag::kBalance);
  }
  b.Section(Page::Oscillators, "Oscillator Common");
  b.Led("CheckLedSynctoOsc3", 56, "Sync to Osc3");
  b.List("cmbPitchSource", 57, "Pitch Source", ModSourceNames());
  b.Centred("KnobPitchAmount", 58, "Pitch Amount");
  b.Led("CheckLedGlide", 60, "Glide");
  b.List("cmbOscMode", 63, "Glide Mode", GlideModeNames());
  b.Knob("KnobGlideRate", 64, "Glide Rate");
  TableBuilder::Packed(b.List("cmbUnisono", 65, "Unisono", UnisonoNames()), 4, 7);
  TableBuilder::Packed(b.List("cmbAllocation", 65, "Allocation", AllocationNames()), 0, 1);
  b.Knob("KnobUniDetune", 66, "Unison Detune");
  b.Knob("KnobNoiseLevel", 74, "Noise Level");
  b.Centred("KnobNoiseBalance", 75, "Noise Balance");
  b.Centred("KnobNoiseColour", 76, "Noise Colour");
  b.Knob("KnobRMLevel", 78, "Ring Mod Level");
  b.Centred("KnobRMBalance", 79, "Ring Mod Balance");
}

void AddFilters(TableBuilder& b) {
  for (int f = 1; f <= 2; ++f) {
    const int o = 84 + 20 * (f - 1);
    const std::string p = N("Filter", f);
    b.Section(Page::Filters, N("Filter ", f));
    b.List("cmb" + p + "Type", o + 0, "Type", FilterTypeNames());
    b.Knob("Knob" + p + "Cutoff", o + 1, "Cutoff");
    b.Knob("Knob" + p + "Resonance", o + 3, "Resonance");
    b.Knob("Knob" + p + "Drive", o + 4, "Drive");
    b.Knob("Knob" + p + "DriveCurve", o + 5, "Drive Curve");
    b.Knob("Knob" + p + "Keytrack", o + 9, "Keytrack", 0, 127, Encoding::Raw, tag::kKeytrack);
    b.Centred("Knob" + p + "EnvAmount", o + 10, "Env Amount");
    b.Centred("Knob" + p + "EnvVelocity", o + 11, "Env Velocity");
    b.List("cmb" + p + "ModSource", o + 12, "Mod Source", ModSourceNames());
    b.Centred("Knob" + p + "ModAmount", o + 13, "Mod Amount");
    b.List("cmb" + p + "FMSource", o + 14, "FM Source", FmSourceNames());
    b.Knob("Knob" + p + "FMAmount", o + 15, "FM Amount");
    b.Centred("Knob" + p + "Pan", o + 16, "Pan");
    b.List("cmb" + p + "PanSource", o + 17, "Pan Source", ModSourceNames());
    b.Centred("Knob" + p + "PanAmount", o + 18, "Pan Amount");
  }
  b.Section(Page::Filters, "Filter Routing");
  b.List("cmbFilterRouting", 124, "Routing", FilterRoutingNames());
}

void AddEnvelopes(TableBuilder& b) {
  struct Env {
    const char* prefix;
    const char* group;
  };
  const Env envs[] = {{"FilterEnvelope", "Filter Envelope"},
                      {"AmpEnvelope", "Amplifier Envelope"},
                      {"Envelope3", "Envelope 3"},
                      {"Envelope4", "Envelope 4"}};
  for (int e = 0; e < 4; ++e) {
    const int o = 203 + 12 * e;
    const std::string p = envs[e].prefix;
    b.Section(Page::Envelopes, envs[e].group);
    TableBuilder::Packed(b.List("cmb" + p + "Mode", o, "Mode", EnvelopeModeNames()), 0, 31);
    TableBuilder::Packed(b.List("cmb" + p + "Trigger", o, "Trigger", EnvelopeTriggerNames()), 5, 1);
    b.Knob("Knob" + p + "Attack", o + 3, "Attack");
    b.Knob("Knob" + p + "AttackLevel", o + 4, "Attack Level");
    b.Knob("Knob" + p + "Decay", o + 5, "Decay");
    b.Knob("Knob" + p + "Sustain", o + 6, "Sustain");
    b.Knob("Knob" + p + "Decay2", o + 7, "Decay 2");
    b.Knob("Knob" + p + "Sustain2", o + 8, "Sustain 2");
    b.Knob("Knob" + p + "Release", o + 9, "Release");
  }
}

void AddLfos(TableBuilder& b, std::vector<ControlSpec>& table) {
  for (int l = 1; l <= 3; ++l) {
    const int o = 167 + 12 * (l - 1);
    const std::string p = N("LFO", l);
    b.Section(Page::LFOs, N("LFO ", l));
    b.List("cmb" + p + "Shape", o + 0, "Shape", LfoShapeNames());
    const std::size_t speed = table.size();
    b.Knob("Knob" + p + "Speed", o + 1, "Speed", 0, 127, Encoding::Raw, tag::kLfoSync);
    b.Led("CheckLed" + p + "Sync", o + 3, "Sync");
    const std::size_t clocked = table.size();
    b.Led("CheckLed" + p + "Clocked", o + 4, "Clocked");
    table[speed].captionDependsOn = static_cast<int>(clocked);
    b.Knob("Knob" + p + "StartPhase", o + 5, "Start Phase", 0, 127, Encoding::Raw, tag::kStartPhase);
    b.Knob("Knob" + p + "Delay", o + 6, "Delay");
    b.Centred("Knob" + p + "Fade", o + 7, "Fade");
    b.Knob(l == 1 ? "KnobLFO1KeyTrack" : "Knob" + p + "Keytrack", o + 10, "Keytrack", 0, 127, Encoding::Raw,
           tag::kKeytrack);
  }
}

void AddMatrix(TableBuilder& b) {
  for (int n = 1; n <= 16; ++n) {
    const int o = 268 + 3 * (n - 1);
    b.Section(Page::Matrix, N("Modulation ", n));
    b.List(N("cmbModulation", n, "Source"), o + 0, "Source", ModSourceNames());
    b.List(N("cmbModulation", n, "Destination"), o + 1, "Destination", MatrixDestinationNames());
    b.Centred(N("KnobModulation", n, "Amount"), o + 2, "Amount");
  }
  for (int n = 1; n <= 4; ++n) {
    const int o = 252 + 4 * (n - 1);
    b.Section(Page::Matrix, N("Modifier ", n));
    b.List(N("cmbModifier", n, "SourceA"), o + 0, "Source A", ModSourceNames());
    b.List(N("cmbModifier", n, "SourceB"), o + 1, "Source B", ModSourceBNames());
    b.List(N("cmbModifier", n, "Operation"), o + 2, "Operation", ModifierOperationNames());
    b.Centred(N("KnobModifier", n, "Constant"), o + 3, "Constant");
  }
}

void AddAmplifier(TableBuilder& b) {
  b.Section(Page::AmplifierEffects, "Amplifier");
  b.Knob("KnobAmplifierVolume", 128, "Volume");
  b.Centred("KnobAmplifierVelocity", 129, "Velocity");
  b.List("cmbAmplifierModSource", 130, "Mod Source", ModSourceNames());
  b.Centred("KnobAmplifierModAmount", 131, "Mod Amount");
}

void AddEffectTypes(TableBuilder& b) {
  b.Section(Page::AmplifierEffects, "Effect 1");
  b.List("cmbEffect1Type", 135, "Type", Effect1TypeNames());
  b.Knob("knobEffect1Mix", 136, "Mix");
  b.Section(Page::AmplifierEffects, "Effect 2");
  b.List("cmbEffect2type", 151, "Type", Effect2TypeNames());
  b.Knob("KnobEffect2Mix", 152, "Mix");
}

void AddArpeggiator(TableBuilder& b) {
  b.Section(Page::Arpeggiator, "Arpeggiator");
  b.List("cmbArpMode", 318, "Mode", ArpModeNames());
  b.List("cmbArpPattern", 319, "Pattern", ArpPatternNames());
  b.List("cmbArpClock", 321, "Clock", ClockNames());
  b.List("cmbArpLength", 322, "Length", ArpNoteLengthNames());
  b.List("cmbArpOctave", 323, "Octave Range", ArpOctaveNames());
  b.List("cmbArpDirection", 324, "Direction", ArpDirectionNames());
  b.List("cmbArpSortOrder", 325, "Sort Order", ArpSortOrderNames());
  b.List("cmbArpVelocity", 326, "Velocity", ArpVelocityNames());
  b.Knob("KnobArpTimingFactor", 327, "Timing Factor");
  b.Led("CheckLedPtnReset", 329, "Ptn Reset");
  b.List("cmbArpPtnLength", 330, "Pattern Length", ArpPatternLengthNames());
  b.Knob("KnobArpTempo", 333, "Tempo", 0, 127, Encoding::Raw, tag::kTempo);
  // Each step byte packs step type, glide and accent; each timing byte packs
  // note length and timing.
  for (int k = 1; k <= 16; ++k) {
    b.Section(Page::Arpeggiator, N("Arp Step ", k));
    TableBuilder::Packed(b.Knob(N("KnobArpStep", k), 333 + k, "Step", 0, 7, Encoding::Packed, tag::kArpStep), 4, 7);
    TableBuilder::Packed(b.Knob(N("KnobArpAccent", k), 333 + k, "Accent", 0, 7, Encoding::Packed, tag::kArpAccent), 0,
                         7);
    TableBuilder::Packed(b.Led(N("CheckLedGlide", k), 333 + k, "Glide"), 3, 1);
    TableBuilder::Packed(b.Knob(N("KnobArpTiming", k), 349 + k, "Timing", 0, 7, Encoding::Packed, tag::kArpTiming), 0,
                         7);
    TableBuilder::Packed(b.Knob(N("KnobArpLength", k), 349 + k, "Length", 0, 7, Encoding::Packed, tag::kArpLength), 4,
                         7);
  }
}

void AddEffectParameters(TableBuilder& b) {
  b.Section(Page::AmplifierEffects, "Effect 1");
  for (int i = 1; i <= 7; ++i) b.Knob(N("KnobEffect1Para", i), 136 + i, N("Parameter ", i));
  b.Led("CheckLedEffectPara0", 145, "", /*inverted=*/true);
  auto& curve1 = b.List("cmbEffect1Curve", 146, "Curve", EffectCurveNames());
  curve1.rule = WriteRule::WhileVisible;
  curve1.noSelectionByte = 0;

  b.Section(Page::AmplifierEffects, "Effect 2");
  for (int i = 1; i <= 8; ++i) b.Knob(N("KnobEffect2Para", i), 152 + i, N("Parameter ", i));
  // Bytes 161 and 162 mean different things per effect type; the controls
  // that do not apply to the current type are hidden and do not write.
  b.Led("CheckLedEffect2Para0", 161, "", /*inverted=*/true);
  b.Knob("KnobEffect2Para9", 161, "Parameter 9").rule = WriteRule::WhileVisible;
  auto& curve2 = b.List("cmbEffect2Curve", 162, "Curve", EffectCurveNames());
  curve2.rule = WriteRule::WhileVisible;
  curve2.noSelectionByte = 0;
  b.Centred("KnobEffect2Para10", 162, "Parameter 10").rule = WriteRule::WhileVisible;
  auto& length = b.List("cmbEffect2Length", 163, "Length", DelayLengthNames());
  length.rule = WriteRule::WhileVisible;
  length.noSelectionByte = 0;
}

}  // namespace

ParameterMap::ParameterMap() {
  TableBuilder b(controls_);
  // The order is the editor's writing order; it matters only where several
  // controls share a byte.
  AddOscillators(b);
  AddFilters(b);
  AddEnvelopes(b);
  AddLfos(b, controls_);
  AddMatrix(b);
  AddAmplifier(b);
  AddEffectTypes(b);
  AddArpeggiator(b);
  AddEffectParameters(b);
  b.Section(Page::Header, "Sound");
  b.List("cmbCategory", 386, "Category", CategoryListNames());

  for (std::size_t i = 0; i < controls_.size(); ++i) byName_.emplace(controls_[i].name, i);

  byOffset_.resize(392);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    byOffset_[static_cast<std::size_t>(controls_[i].offset)].push_back(i);
    if (controls_[i].sampleFlagOffset >= 0) byOffset_[static_cast<std::size_t>(controls_[i].sampleFlagOffset)].push_back(i);
  }

  std::vector<bool> edited(392, false);
  for (auto& c : controls_) {
    edited[static_cast<std::size_t>(c.offset)] = true;
    if (c.sampleFlagOffset >= 0) edited[static_cast<std::size_t>(c.sampleFlagOffset)] = true;
  }
  for (int i = 0; i < kNameLength; ++i) edited[static_cast<std::size_t>(kNameOffset + i)] = true;
  for (int off = kFirstParameterOffset; off <= 389; ++off)
    if (!edited[static_cast<std::size_t>(off)]) unedited_.push_back(off);
}

const ParameterMap& ParameterMap::Instance() {
  static const ParameterMap map;
  return map;
}

std::optional<std::size_t> ParameterMap::Find(std::string_view name) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) return std::nullopt;
  return it->second;
}

std::size_t ParameterMap::IndexOf(std::string_view name) const {
  if (auto i = Find(name)) return *i;
  throw std::out_of_range("no editor control named \"" + std::string(name) + "\"");
}

const std::vector<std::size_t>& ParameterMap::ControlsAt(int offset) const {
  static const std::vector<std::size_t> none;
  if (offset < 0 || static_cast<std::size_t>(offset) >= byOffset_.size()) return none;
  return byOffset_[static_cast<std::size_t>(offset)];
}

bool ParameterMap::IsEdited(int offset) const {
  if (offset < kFirstParameterOffset || offset > 389) return false;
  return !std::binary_search(unedited_.begin(), unedited_.end(), offset);
}

}  // namespace tarvix
