#include "editor/ControllerMap.h"

#include <array>
#include <string>
#include <unordered_map>

namespace tarvix {

namespace {

using C = ControllerConversion;

// Names are stored once so the string_views handed out stay valid.
const std::unordered_map<int, std::pair<std::string, C>>& Table() {
  static const auto table = [] {
    std::unordered_map<int, std::pair<std::string, C>> t;
    auto add = [&](int cc, std::string name, C conv) { t.emplace(cc, std::make_pair(std::move(name), conv)); };
    // LFOs: shape, speed, delay; controllers 15..26 in steps of four.
    for (int l = 0; l < 3; ++l) {
      const std::string n = std::to_string(l + 1);
      add(15 + 4 * l, "cmbLFO" + n + "Shape", C::Direct);
      add(16 + 4 * l, "KnobLFO" + n + "Speed", C::Direct);
      add(18 + 4 * l, "KnobLFO" + n + "Delay", C::Direct);
    }
    // Oscillators: the instrument numbers oscillator 1 from 27, 2 from 35
    // and 3 from 42; levels and balances sit apart from 52 on.
    struct Osc { int octave, semitone, detune, fm, pw, pwm, volume, balance; };
    const std::array<Osc, 3> osc{{{27, 28, 29, 30, 33, 34, 52, 53},
                                  {35, 36, 37, 38, 40, 41, 56, 57},
                                  {42, 43, 44, 45, 47, 48, 58, 59}}};
    for (int o = 0; o < 3; ++o) {
      const std::string n = std::to_string(o + 1);
      add(osc[o].octave, "KnobOctave" + n, C::Octave);
      add(osc[o].semitone, "KnobSemitone" + n, C::Centred);
      add(osc[o].detune, "KnobDetune" + n, C::Centred);
      add(osc[o].fm, "KnobFMAmount" + n, C::Direct);
      add(osc[o].pw, "KnobPulsewidth" + n, C::Direct);
      add(osc[o].pwm, "KnobPWMAmount" + n, C::Centred);
      add(osc[o].volume, "KnobVolume" + n, C::Direct);
      add(osc[o].balance, "KnobBalance" + n, C::Centred);
    }
    add(67, "cmbFilterRouting", C::Direct);
    // Filters: 68..78 for filter 1, 79..89 for filter 2, same order.
    for (int f = 0; f < 2; ++f) {
      const std::string p = "Filter" + std::to_string(f + 1);
      const int b = 68 + 11 * f;
      add(b, "cmb" + p + "Type", C::Direct);
      add(b + 1, "Knob" + p + "Cutoff", C::Direct);
      add(b + 2, "Knob" + p + "Resonance", C::Direct);
      add(b + 3, "Knob" + p + "Drive", C::Direct);
      add(b + 4, "Knob" + p + "Keytrack", C::Direct);
      add(b + 5, "Knob" + p + "EnvAmount", C::Centred);
      add(b + 6, "Knob" + p + "EnvVelocity", C::Centred);
      add(b + 7, "Knob" + p + "ModAmount", C::Centred);
      add(b + 8, "Knob" + p + "FMAmount", C::Direct);
      add(b + 9, "Knob" + p + "Pan", C::Centred);
      add(b + 10, "Knob" + p + "PanAmount", C::Centred);
    }
    // Envelopes: six controllers each from 95, in the order attack, decay,
    // sustain, decay 2, sustain 2, release.
    const std::array<const char*, 4> env{"FilterEnvelope", "AmpEnvelope", "Envelope3", "Envelope4"};
    const std::array<const char*, 6> stage{"Attack", "Decay", "Sustain", "Decay2", "Sustain2", "Release"};
    for (int e = 0; e < 4; ++e)
      for (int s = 0; s < 6; ++s) add(95 + 6 * e + s, std::string("Knob") + env[e] + stage[s], C::Direct);
    return t;
  }();
  return table;
}

}  // namespace

std::optional<ControllerTarget> ControllerTargetFor(int controller) {
  const auto& t = Table();
  auto it = t.find(controller);
  if (it == t.end()) return std::nullopt;
  return ControllerTarget{it->second.first, it->second.second};
}

int ControllerValue(ControllerConversion conversion, int value) {
  switch (conversion) {
    case C::Direct: return value;
    case C::Centred: return value - 64;
    case C::Octave: return (value - 16) / 12;  // C++ division truncates towards zero, as wanted
  }
  return value;
}

}  // namespace tarvix
