#pragma once
// The editor's init commands: fixed, neutral values for one section of the
// sound. Bytes of other sections (and the arpeggiator, amplifier, name and
// category for "Init Sound") are left as they are.

#include "library/SoundData.h"

namespace tarvix {

void InitOscillators(SoundData& s);  // "Init Oscillators"
void InitFilters(SoundData& s);      // "Init Filters"
void InitEnvelopes(SoundData& s);    // "Init Envelopes"
void InitLfos(SoundData& s);         // "Init LFOs"
void InitMatrix(SoundData& s);       // "Init Matrix"
void InitEffects(SoundData& s);      // "Init Effects"
void InitSoundSections(SoundData& s);  // "Init Sound": the six above, in order

}  // namespace tarvix
