#include "editor/Vocabulary.h"

#include "library/SoundData.h"

namespace tarvix {

namespace {

Vocabulary Numbers(int from, int to) {
  Vocabulary v;
  for (int i = from; i <= to; ++i) v.push_back(std::to_string(i));
  return v;
}

Vocabulary FirstOf(const Vocabulary& all, std::size_t n) { return Vocabulary(all.begin(), all.begin() + n); }

}  // namespace

const Vocabulary& FmSourceNames() {
  static const Vocabulary v{"off", "Osc1", "Osc2", "Osc3", "Noise", "LFO1",
                            "LFO2", "LFO3", "FilterEnv", "AmpEnv", "Env3", "Env4"};
  return v;
}

const Vocabulary& ModSourceNames() {
  static const Vocabulary v{"off",       "LFO1",      "LFO1*MW",   "LFO2",      "LFO2*Press", "LFO3",
                            "FilterEnv", "AmpEnv",    "Env3",      "Env4",      "Keytrack",   "Velocity",
                            "Rel. Velo", "Pressure",  "Poly Prs.", "Pitchbend", "Modwheel",   "Sust. Ctr",
                            "Foot Ctr",  "BreathCtr", "Control W", "Control X", "Control Y",  "Control Z",
                            "Ctr Delay", "Modif. #1", "Modif. #2", "Modif. #3", "Modif. #4",  "minimum",
                            "MAXIMUM"};
  return v;
}

const Vocabulary& ModSourceBNames() {
  static const Vocabulary v = [] {
    Vocabulary b = ModSourceNames();
    b[0] = "Constant";  // source B "off" means the modifier's constant
    return b;
  }();
  return v;
}

const Vocabulary& ModDestinationNames() {
  static const Vocabulary v{
      "Pitch",     "O1 Pitch",  "O1 FM",     "O1 PW",     "O2 Pitch",    "O2 FM",     "O2 PW",     "O3 Pitch",
      "O3 FM",     "O3 PW",     "O1 Level",  "O1 Bal.",   "O2 Level",    "O2 Bal.",   "O3 Level",  "O3 Bal.",
      "Ring Level", "Ring Bal.", "NoiseLevel", "Noises Bal.", "F1 Cutoff", "F1 Reson.", "F1 FM",     "F1 Drive",
      "F1 Pan",    "F2 Cutoff", "F2 Reson.", "F2 FM",     "F2 Drive",    "F2 Pan",    "Volume",    "LFO1Speed",
      "LFO2Speed", "LFO3Speed", "FE Attack", "FE Decay",  "FE Sust.",    "FE Rel.",   "AE Attack", "AE Decay",
      "AE Sust.",  "AE Rel.",   "E3 Attack", "E3 Decay",  "E3 Sust.",    "E3 Rel.",   "E4 Attack", "E4 Decay",
      "E4 Sust.",  "E4 Rel.",   "M1 Amount", "M2 Amount", "M3 Amount",   "M4 Amount", "O1Subdiv",  "O1SubVol",
      "O2Subdiv",  "O2SubVol"};
  return v;
}

const Vocabulary& MatrixDestinationNames() {
  static const Vocabulary v = FirstOf(ModDestinationNames(), 54);
  return v;
}

const Vocabulary& WaveShapeNames() {
  static const Vocabulary v = [] {
    Vocabulary w{"off",       "Pulse",     "Saw",       "Triangle",  "Sine",      "Alt 1",     "Alt 2",
                 "Resonant",  "Resonant2", "MalletSyn", "Sqr-Sweep", "Bellish",   "Pul-Sweep", "Saw-Sweep",
                 "MellowSaw", "Feedback",  "Add Harm",  "Reso 3 HP", "Wind Syn",  "High Harm", "Clipper",
                 "Organ Syn", "SquareSaw", "Formant 1", "Polated",   "Transient", "ElectricP", "Robotic",
                 "StrongHrm", "PercOrgan", "ClipSweep", "ResoHarms", "2 Echoes",  "Formant 2", "FmntVocal",
                 "MicroSync", "Micro PWM", "Glassy",    "Square HP", "SawSync 1", "SawSync 2", "SawSync 3",
                 "PulSync 1", "PulSync 2", "PulSync 3", "SinSync 1", "SinSync 2", "SinSync 3", "PWM Pulse",
                 "PWM Saw",   "Fuzz Wave", "Distorted", "HeavyFuzz", "Fuzz Sync", "K+Strong1", "K+Strong2",
                 "K+Strong3", "1-2-3-4-5", "19/twenty", "Wavetrip1", "Wavetrip2", "Wavetrip3", "Wavetrip4",
                 "MaleVoice", "Low Piano", "ResoSweep", "Xmas Bell", "FM Piano",  "Fat Organ", "Vibes",
                 "Chorus 2",  "True PWM",  "UpperWaves"};
    // The instrument's user wavetables are numbered from 67 in its own
    // display, six below their list position.
    for (int i = static_cast<int>(w.size()); i < 125; ++i) w.push_back("wavetable " + std::to_string(i - 6));
    return w;
  }();
  return v;
}

const Vocabulary& Osc3ShapeNames() {
  static const Vocabulary v = FirstOf(WaveShapeNames(), 5);
  return v;
}

const Vocabulary& OctaveFeet() {
  static const Vocabulary v{"128", "64", "32", "16", "8", "4", "2", "1", "1/2"};
  return v;
}

const Vocabulary& LfoSyncNames() {
  // Entry 47 reads "1 bars", as the instrument's own display names it.
  // Entry 57 is the dotted sixteenth, between 1/8 and 1/8T.
  static const Vocabulary v{
      "1280 bars", "1152 bars", "1024 bars", "896 bars", "768 bars", "640 bars", "576 bars", "512 bars",
      "448 bars",  "384 bars",  "320 bars",  "288 bars", "256 bars", "224 bars", "192 bars", "160 bars",
      "144 bars",  "128 bars",  "112 bars",  "96 bars",  "80 bars",  "72 bars",  "64 bars",  "56 bars",
      "48 bars",   "40 bars",   "36 bars",   "32 bars",  "28 bars",  "24 bars",  "20 bars",  "18 bars",
      "16 bars",   "14 bars",   "12 bars",   "10 bars",  "9 bars",   "8 bars",   "7 bars",   "6 bars",
      "5 bars",    "4 bars",    "3.5 bars",  "3 bars",   "2.5 bars", "2 bars",   "1.5 bars", "1 bars",
      "1/2.",      "1/1T",      "1/2",       "1/4.",     "1/2T",     "1/4",      "1/8.",     "1/4T",
      "1/8",       "1/16.",     "1/8T",      "1/16",     "1/32.",    "1/16T",    "1/32",     "1/48"};
  return v;
}

const Vocabulary& ArpStepNames() {
  static const Vocabulary v{"normal", "pause", "previous", "first", "last", "first+last", "chord", "random"};
  return v;
}
const Vocabulary& ArpAccentNames() {
  static const Vocabulary v{"silent", "/4", "/3", "/2", "*1", "*2", "*3", "*4"};
  return v;
}
const Vocabulary& ArpTimingNames() {
  static const Vocabulary v{"random", "-3", "-2", "-1", "0", "1", "2", "3"};
  return v;
}
const Vocabulary& ArpLengthNames() {
  static const Vocabulary v{"legato", "-3", "-2", "-1", "0", "1", "2", "3"};
  return v;
}

const Vocabulary& ClockNames() {
  static const Vocabulary v{"1/96",     "1/48",     "1/32",    "1/16T",   "1/32.",   "1/16",    "1/8T",
                            "1/16.",    "1/8",      "1/4T",    "1/8.",    "1/4",     "1/2T",    "1/4.",
                            "1/2",      "1/1T",     "1/2.",    "1 bar",   "1.5 bars", "2 bars", "2.5 bars",
                            "3 bars",   "3.5 bars", "4 bars",  "5 bars",  "6 bars",  "7 bars",  "8 bars",
                            "9 bars",   "10 bars",  "12 bars", "14 bars", "16 bars", "18 bars", "20 bars",
                            "24 bars",  "28 bars",  "32 bars", "36 bars", "40 bars", "48 bars", "56 bars",
                            "64 bars"};
  return v;
}
const Vocabulary& ArpNoteLengthNames() {
  static const Vocabulary v = [] {
    Vocabulary l = ClockNames();
    l.push_back("legato");
    return l;
  }();
  return v;
}
const Vocabulary& DelayLengthNames() {
  static const Vocabulary v = FirstOf(ClockNames(), 30);
  return v;
}

const Vocabulary& GlideModeNames() {
  static const Vocabulary v{"Portamento", "fingered P", "Glissando", "fingered G"};
  return v;
}
const Vocabulary& UnisonoNames() {
  static const Vocabulary v{"off", "dual", "3", "4", "5", "6"};
  return v;
}
const Vocabulary& AllocationNames() {
  static const Vocabulary v{"Poly", "Mono"};
  return v;
}
const Vocabulary& FilterTypeNames() {
  static const Vocabulary v{"Bypass",  "LP 24dB",   "LP 12dB",   "BP 24dB", "BP 12dB", "HP 24dB",
                            "HP 12dB", "Notch24dB", "Notch12dB", "Comb+",   "Comb-",   "PPG LP"};
  return v;
}
const Vocabulary& FilterRoutingNames() {
  static const Vocabulary v{"parallel", "serial"};
  return v;
}
const Vocabulary& Effect1TypeNames() {
  static const Vocabulary v{"Bypass", "Chorus", "Flanger", "Phaser", "Overdrive", "Triple FX"};
  return v;
}
const Vocabulary& Effect2TypeNames() {
  static const Vocabulary v = [] {
    Vocabulary t = Effect1TypeNames();
    t.insert(t.end(), {"Delay", "Clk. Delay", "Reverb"});
    return t;
  }();
  return v;
}
const Vocabulary& EffectCurveNames() {
  static const Vocabulary v{"Clipping", "Tube",     "Hard",      "Medium", "Soft",     "Pickup 1",
                            "Pickup 2", "Rectifier", "Square",   "Binary", "Overflow", "Sine Shaper"};
  return v;
}
const Vocabulary& LfoShapeNames() {
  static const Vocabulary v{"Sine", "Triangle", "Square", "Saw", "Random", "S&H"};
  return v;
}
const Vocabulary& EnvelopeModeNames() {
  static const Vocabulary v{"ADSR", "ADS1DS2R", "One Shot", "Loop S1S2", "Loop All"};
  return v;
}
const Vocabulary& EnvelopeTriggerNames() {
  static const Vocabulary v{"normal", "single"};
  return v;
}
const Vocabulary& ModifierOperationNames() {
  static const Vocabulary v{"+", "-", "*", "AND", "OR", "XOR", "MAX", "min"};
  return v;
}
const Vocabulary& ArpModeNames() {
  static const Vocabulary v{"off", "on", "One Shot", "Hold"};
  return v;
}
const Vocabulary& ArpPatternNames() {
  static const Vocabulary v = [] {
    Vocabulary p{"off", "User"};
    for (auto& n : Numbers(1, 15)) p.push_back(n);
    return p;
  }();
  return v;
}
const Vocabulary& ArpOctaveNames() {
  static const Vocabulary v = Numbers(1, 10);
  return v;
}
const Vocabulary& ArpDirectionNames() {
  static const Vocabulary v{"Up", "Down", "Alt Up", "Alt Down"};
  return v;
}
const Vocabulary& ArpSortOrderNames() {
  static const Vocabulary v{"as played", "reversed", "Key Lo>Hi", "Key Hi>Lo", "Vel Lo>Hi", "Vel Hi>Lo"};
  return v;
}
const Vocabulary& ArpVelocityNames() {
  static const Vocabulary v{"Each Note", "First Note", "Last Note", "fix 32", "fix 64", "fix 100", "fix 127"};
  return v;
}
const Vocabulary& ArpPatternLengthNames() {
  static const Vocabulary v = Numbers(1, 16);
  return v;
}
const Vocabulary& CategoryListNames() {
  static const Vocabulary v = [] {
    Vocabulary c;
    for (auto name : CategoryNames()) c.emplace_back(name);
    return c;
  }();
  return v;
}

Vocabulary ShapeListEntries(const std::vector<std::string>& sampleLines) {
  Vocabulary v = WaveShapeNames();
  for (std::size_t k = 0; k < sampleLines.size(); ++k) v.push_back("A" + std::to_string(k + 1) + " " + sampleLines[k]);
  return v;
}

}  // namespace tarvix
