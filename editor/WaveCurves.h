#pragma once
// The curves of the LFO and oscillator pictures, one amplitude (-1..1) per
// picture column, computed from the sound's bytes without any drawing.

#include <optional>
#include <vector>

#include "library/SoundData.h"

namespace tarvix {

// First byte (the shape byte) of LFO 0..2.
int LfoBaseOffset(int lfo);
// Cycles across a picture for an LFO speed byte: 1/2 cycle at 0, doubling
// every 32 steps (2 at 64, about 8 at 127), as the rate grows exponentially.
double LfoCycles(int speed);
// The LFO's output over the picture's width: its shape repeated by speed,
// starting at the start phase, silent during the delay, then faded in
// (positive fade) or out (negative fade). None for a shape byte above 5.
std::optional<std::vector<double>> LfoCurve(const SoundData& sound, int lfo, int width);

// First byte (the octave byte) of oscillator 0..2.
int OscillatorBaseOffset(int osc);
// Cycles across an oscillator picture: 2 at 8' and no transposition, double
// per octave up, and following the semitones in between.
double OscillatorCycles(int octaveByte, int semitoneByte);
// The shape byte and sample flag as the oscillator's list shows them.
struct OscillatorShape {
  int shape = 0;        // shape byte
  bool sample = false;  // plays a sample instead of a wave
};
OscillatorShape OscillatorShapeOf(const SoundData& sound, int osc);
// One cycle-accurate column per pixel for the simple shapes (off, pulse with
// its width, saw, triangle, sine); none for wavetables and samples, which are
// drawn by name.
std::optional<std::vector<double>> OscillatorCurve(const SoundData& sound, int osc, int width);

}  // namespace tarvix
