#include "editor/WaveCurves.h"

#include <cmath>
#include <numbers>

namespace tarvix {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

int Byte(const SoundData& s, int offset) { return s[static_cast<std::size_t>(offset)]; }

// A fixed pseudo-random value in -1..1 per cycle number, so the random
// shapes look the same every time the picture is drawn.
double NoiseAt(long cycle) {
  auto x = static_cast<std::uint32_t>(cycle) * 2654435761u + 0x9E3779B9u;
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return (x % 2001) / 1000.0 - 1.0;
}

double LfoShapeAt(int shape, double phase) {
  const double cycle = std::floor(phase);
  const double p = phase - cycle;
  switch (shape) {
    case 0: return std::sin(kTwoPi * p);
    case 1: return p < 0.25 ? 4 * p : (p < 0.75 ? 2 - 4 * p : 4 * p - 4);
    case 2: return p < 0.5 ? 1.0 : -1.0;
    case 3: return 2 * p - 1;
    case 4: {  // smooth random: glides from one random value to the next
      const double a = NoiseAt(static_cast<long>(cycle)), b = NoiseAt(static_cast<long>(cycle) + 1);
      const double t = (1 - std::cos(std::numbers::pi * p)) / 2;
      return a + (b - a) * t;
    }
    default: return NoiseAt(static_cast<long>(cycle));  // S&H: holds one value per cycle
  }
}

}  // namespace

int LfoBaseOffset(int lfo) { return 167 + 12 * lfo; }

double LfoCycles(int speed) { return 0.5 * std::exp2(speed / 32.0); }

std::optional<std::vector<double>> LfoCurve(const SoundData& sound, int lfo, int width) {
  if (lfo < 0 || lfo > 2 || width <= 0) return std::nullopt;
  const int base = LfoBaseOffset(lfo);
  const int shape = Byte(sound, base);
  if (shape > 5) return std::nullopt;
  const double cycles = LfoCycles(Byte(sound, base + 1));
  // The start phase in degrees as the caption shows it (0..355).
  const double startPhase = Byte(sound, base + 5) * 355.0 / 127.0 / 360.0;
  const double delay = Byte(sound, base + 6) / 127.0 * 0.5;  // up to half the picture
  const int fade = Byte(sound, base + 7) - 64;
  const double fadeSpan = std::abs(fade) / 64.0 * 0.5;

  std::vector<double> out(static_cast<std::size_t>(width), 0.0);
  for (int x = 0; x < width; ++x) {
    const double t = static_cast<double>(x) / width;
    if (t < delay) continue;  // the LFO has not started yet
    const double since = t - delay;
    double gain = 1.0;
    if (fade != 0 && fadeSpan > 0) {
      const double f = std::min(since / fadeSpan, 1.0);
      gain = fade > 0 ? f : 1.0 - f;
    }
    out[static_cast<std::size_t>(x)] = gain * LfoShapeAt(shape, startPhase + cycles * since);
  }
  return out;
}

int OscillatorBaseOffset(int osc) { return 8 + 16 * osc; }

double OscillatorCycles(int octaveByte, int semitoneByte) {
  const int position = (octaveByte - 16) / 12;  // 4 is 8'
  return 2.0 * std::exp2((position - 4) + (semitoneByte - 64) / 12.0);
}

OscillatorShape OscillatorShapeOf(const SoundData& sound, int osc) {
  const int base = OscillatorBaseOffset(osc);
  // Oscillator 3 has no sample flag; its byte there means something else.
  return {Byte(sound, base + 7), osc < 2 && Byte(sound, base + 14) != 0};
}

std::optional<std::vector<double>> OscillatorCurve(const SoundData& sound, int osc, int width) {
  if (osc < 0 || osc > 2 || width <= 0) return std::nullopt;
  const OscillatorShape shape = OscillatorShapeOf(sound, osc);
  if (shape.sample || shape.shape > 4) return std::nullopt;
  const int base = OscillatorBaseOffset(osc);
  const double cycles = OscillatorCycles(Byte(sound, base), Byte(sound, base + 1));
  // Pulsewidth 127 is a square wave; smaller values narrow the pulse.
  const double duty = 0.5 * (Byte(sound, base + 8) + 1) / 128.0;
  std::vector<double> out(static_cast<std::size_t>(width), 0.0);
  for (int x = 0; x < width; ++x) {
    const double phase = cycles * (x + 0.5) / width;
    const double p = phase - std::floor(phase);
    double v = 0;
    switch (shape.shape) {
      case 0: v = 0; break;
      case 1: v = p < duty ? 1 : -1; break;
      case 2: v = 1 - 2 * p; break;
      case 3: v = p < 0.25 ? 4 * p : (p < 0.75 ? 2 - 4 * p : 4 * p - 4); break;
      case 4: v = std::sin(kTwoPi * p); break;
    }
    out[static_cast<std::size_t>(x)] = v;
  }
  return out;
}

}  // namespace tarvix
