#include "editor/InitCommands.h"

#include <cstdint>

namespace tarvix {
namespace {

// Writes a parameter by its number; its offset in the dump is 7 further on.
void Set(SoundData& s, int parameter, std::uint8_t value) {
  s[static_cast<std::size_t>(parameter + 7)] = value;
}

}  // namespace

void InitOscillators(SoundData& s) {
  for (int n = 0; n < 3; ++n) {
    const int p = 1 + 16 * n;
    Set(s, p + 0, 64);    // octave 8'
    Set(s, p + 1, 64);    // semitone 0
    Set(s, p + 2, 64);    // detune 0
    Set(s, p + 3, 64);    // band range 0
    Set(s, p + 4, 96);    // keytrack 100 %
    Set(s, p + 5, 0);     // FM source off
    Set(s, p + 6, 0);     // FM amount
    Set(s, p + 7, n == 0 ? 1 : 0);  // shape: pulse for the first, off for the others
    Set(s, p + 8, 127);   // pulsewidth
    Set(s, p + 9, 0);     // PWM source off
    Set(s, p + 10, 64);   // PWM amount 0
    Set(s, p + 13, 0);    // Limit WT byte 0: the LED lit
    Set(s, p + 15, 0);    // brillance
    Set(s, 61 + 2 * n, 127);  // level
    Set(s, 62 + 2 * n, 64);   // balance middle
    // Oscillators 1 and 2 play a sample when their flag is set; the shape
    // byte would then pick a sample, not the wave its name says.
    if (n < 2) Set(s, p + 14, 0);
  }
  Set(s, 49, 0);    // sync off
  Set(s, 50, 0);    // pitch mod source off
  Set(s, 51, 64);   // pitch mod amount 0
  Set(s, 53, 0);    // glide off
  Set(s, 56, 0);    // glide mode Portamento
  Set(s, 57, 0);    // glide rate
  Set(s, 58, 16);   // unisono "dual", allocation "Poly"
  Set(s, 59, 0);    // unison detune
  Set(s, 67, 0);    // noise level
  Set(s, 68, 64);   // noise balance
  Set(s, 69, 64);   // noise colour
  Set(s, 71, 0);    // ring modulation level
  Set(s, 72, 64);   // ring modulation balance
}

void InitFilters(SoundData& s) {
  for (int n = 0; n < 2; ++n) {
    const int p = 77 + 20 * n;
    Set(s, p + 0, 0);     // type Bypass
    Set(s, p + 1, 127);   // cutoff open
    Set(s, p + 3, 0);     // resonance
    Set(s, p + 4, 0);     // drive
    Set(s, p + 5, 0);     // drive curve
    Set(s, p + 9, 96);    // keytrack 100 %
    Set(s, p + 10, 64);   // envelope amount 0
    Set(s, p + 11, 64);   // envelope velocity 0
    Set(s, p + 12, 0);    // mod source off
    Set(s, p + 13, 64);   // mod amount 0
    Set(s, p + 14, 0);    // FM source off
    Set(s, p + 15, 0);    // FM amount
    Set(s, p + 16, 64);   // pan middle
    Set(s, p + 17, 0);    // pan source off
    Set(s, p + 18, 64);   // pan amount 0
  }
  Set(s, 117, 0);  // routing parallel
}

void InitEnvelopes(SoundData& s) {
  for (int n = 0; n < 4; ++n) {
    const int p = 196 + 12 * n;
    Set(s, p + 0, 0);   // ADSR, normal trigger
    Set(s, p + 3, 0);   // attack
    Set(s, p + 4, 0);   // attack level
    Set(s, p + 5, 64);  // decay
    Set(s, p + 6, 64);  // sustain
    Set(s, p + 7, 0);   // decay 2
    Set(s, p + 8, 0);   // sustain 2
    Set(s, p + 9, 64);  // release
  }
}

void InitLfos(SoundData& s) {
  for (int n = 0; n < 3; ++n) {
    const int p = 160 + 12 * n;
    Set(s, p + 0, 0);    // sine
    Set(s, p + 1, 64);   // speed
    Set(s, p + 3, 0);    // sync off
    Set(s, p + 4, 0);    // not clocked
    Set(s, p + 5, 0);    // start phase free
    Set(s, p + 6, 0);    // delay
    Set(s, p + 7, 64);   // fade 0
    Set(s, p + 10, 64);  // keytrack
  }
}

void InitMatrix(SoundData& s) {
  for (int n = 0; n < 16; ++n) {
    const int p = 261 + 3 * n;
    Set(s, p + 0, 0);   // source off
    Set(s, p + 1, 0);   // destination Pitch
    Set(s, p + 2, 64);  // amount 0
  }
  for (int n = 0; n < 4; ++n) {
    const int p = 245 + 4 * n;
    Set(s, p + 0, 0);   // source A off
    Set(s, p + 1, 0);   // source B constant
    Set(s, p + 2, 0);   // operation +
    Set(s, p + 3, 64);  // constant 0
  }
}

void InitEffects(SoundData& s) {
  Set(s, 128, 0);  // effect 1 Bypass
  Set(s, 144, 0);  // effect 2 Bypass
}

void InitSoundSections(SoundData& s) {
  InitOscillators(s);
  InitFilters(s);
  InitEnvelopes(s);
  InitLfos(s);
  InitMatrix(s);
  InitEffects(s);
}

}  // namespace tarvix
