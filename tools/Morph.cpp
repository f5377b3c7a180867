#include "tools/Morph.h"

#include <algorithm>
#include <stdexcept>

namespace tarvix {

namespace {

// Semitone, detune, band range, keytrack of each oscillator.
constexpr std::size_t kTuningOffsets[3] = {9, 25, 41};
// Band range is a centred value (-24..+24): +2 is stored as 66. A raw 2
// would reach the instrument as -62, far outside the parameter's range.
constexpr std::uint8_t kTuningValues[4] = {64, 64, 66, 96};

int FloorDiv100(int a) {
  int q = a / 100;
  if (a % 100 != 0 && a < 0) --q;  // C++ truncates towards zero; we want floor
  return q;
}

SoundData Blend(const SoundData& s1, const SoundData& s2, int percent) {
  SoundData out;
  for (std::size_t o = 0; o < kSoundSize; ++o) out[o] = BlendByte(s1[o], s2[o], percent);
  out[kMorphSkipGlide] = s1[kMorphSkipGlide];
  out[kMorphSkipAllocation] = s1[kMorphSkipAllocation];
  return out;
}

}  // namespace

std::uint8_t BlendByte(std::uint8_t a, std::uint8_t b, int percent) {
  const int m = a + FloorDiv100((static_cast<int>(b) - static_cast<int>(a)) * percent);
  return static_cast<std::uint8_t>(m);
}

void FixOscillatorTuning(SoundData& s) {
  for (std::size_t first : kTuningOffsets)
    for (std::size_t k = 0; k < 4; ++k) s[first + k] = kTuningValues[k];
}

SoundData MorphedSound(SoundData s1, SoundData s2, int percent, bool withDetune) {
  if (percent < 0 || percent > 100) throw std::out_of_range("morph percentage must lie in 0..100");
  if (!withDetune) {
    FixOscillatorTuning(s1);
    FixOscillatorTuning(s2);
  }
  SoundData out = Blend(s1, s2, percent);
  out[offs::kBank] = 0;
  out[offs::kProgram] = 0;
  // A blend of two checksums means nothing; 7F is the instrument's "any".
  out[offs::kChecksum] = 0x7F;
  return out;
}

Morph::Morph(const BankSet& blofeld, ParameterSendFn send) : blofeld_(blofeld), send_(std::move(send)) {}

void Morph::ChooseSounds(std::optional<int> index1, std::optional<int> index2) {
  auto valid = [](std::optional<int> i) { return i && *i >= 0 && *i < kSlotCount ? i : std::nullopt; };
  index1_ = valid(index1);
  index2_ = valid(index2);
  FillResult();
}

void Morph::TrackBarMoved(int position) {
  position_ = std::clamp(position, 0, 100);
  MorphPending = true;
}

void Morph::SetWithDetune(bool on) {
  withDetune_ = on;
  FillResult();
}

void Morph::RandomizeSounds(RandomSource& random) {
  index1_ = static_cast<int>(random.Random(kSlotCount));
  index2_ = static_cast<int>(random.Random(kSlotCount));
}

bool Morph::Timer1Timer() {
  if (!MorphPending) return false;
  MorphPending = false;
  // A tick can only be armed by the bar, which is enabled only with both
  // sounds chosen; without them there is nothing to blend.
  if (!TrackBarEnabled()) return false;
  Sound1 = blofeld_.Sound(*index1_);
  Sound2 = blofeld_.Sound(*index2_);
  shownPercent_ = position_;
  if (!withDetune_) {
    FixOscillatorTuning(Sound1);
    FixOscillatorTuning(Sound2);
  }
  const SoundData blend = Blend(Sound1, Sound2, position_);
  for (std::size_t o = 0; o < kSoundSize; ++o) {
    if (o == kMorphSkipGlide || o == kMorphSkipAllocation) continue;
    if (blend[o] == MorphResult[o]) continue;
    // Header and trailer bytes are kept in the result but are not parameters.
    if (IsParameterOffset(o) && send_) send_(static_cast<int>(o - offs::kFirstParameter), ToDataByte(blend[o]));
    MorphResult[o] = blend[o];
  }
  lastBlend_ = blend;
  return true;
}

std::optional<SoundData> Morph::SavedSound() const {
  if (!lastBlend_) return std::nullopt;
  SoundData s = *lastBlend_;
  s[offs::kBank] = 0;
  s[offs::kProgram] = 0;
  s[offs::kChecksum] = 0x7F;
  return s;
}

}  // namespace tarvix
