#pragma once
// The state behind the morph window: two sounds of the Blofeld banks blended
// byte by byte at a percentage. Moves of the track bar only arm a
// computation; the window's one-second tick computes the blend and sends the
// parameter bytes that differ from the previous blend, so dragging the bar
// never floods the instrument.

#include <optional>

#include "library/BankSet.h"
#include "library/RandomSource.h"
#include "tools/ParameterSend.h"

namespace tarvix {

// Offsets of glide rate and the unisono/allocation byte. A blend of them is
// meaningless (a half-way allocation mode is another mode), so the morph
// neither computes nor sends them.
inline constexpr std::size_t kMorphSkipGlide = 64;
inline constexpr std::size_t kMorphSkipAllocation = 65;

// One blended byte: a + floor((b - a) * p / 100). p = 0 gives a, p = 100 b.
std::uint8_t BlendByte(std::uint8_t a, std::uint8_t b, int percent);

// Pins semitone, detune, band range and keytrack of the three oscillators to
// 64, 64, 66, 96 (0, 0, +2, 100 %), so a blend without the option keeps the
// oscillators in tune.
void FixOscillatorTuning(SoundData& s);

// The sound the morph would save for two sounds at a percentage: every byte
// blended, the tuning bytes pinned unless withDetune, offsets 64 and 65 from
// the first sound, bank and program 0, the checksum as blended.
SoundData MorphedSound(SoundData s1, SoundData s2, int percent, bool withDetune);

class Morph {
 public:
  Morph(const BankSet& blofeld, ParameterSendFn send);

  // A list selection changed (either list; nullopt = no entry). The next
  // blend is sent whole; nothing is computed until the track bar moves.
  void ChooseSounds(std::optional<int> index1, std::optional<int> index2);
  std::optional<int> Index1() const { return index1_; }
  std::optional<int> Index2() const { return index2_; }
  bool TrackBarEnabled() const { return index1_.has_value() && index2_.has_value(); }

  // Every position change arms one computation at the next tick.
  void TrackBarMoved(int position);
  int Position() const { return position_; }

  // The option check box: resend the next blend whole, arm nothing.
  void SetWithDetune(bool on);
  bool WithDetune() const { return withDetune_; }

  // Picks both sounds at random (first, then second) without refilling the
  // result, so only the bytes that differ from the previous blend go out.
  // The window then sets the bar to 100 and 0, which arms the computation.
  void RandomizeSounds(RandomSource& random);

  // The 1000 ms tick. Returns true when a blend was computed.
  bool Timer1Timer();

  // "0 %" .. "100 %": the position of the last computed blend.
  std::string PercentText() const { return std::to_string(shownPercent_) + " %"; }

  // The sound "Save Sound to file" writes; nothing before the first blend.
  bool CanSave() const { return lastBlend_.has_value(); }
  std::optional<SoundData> SavedSound() const;

  SoundData Sound1{};
  SoundData Sound2{};
  SoundData MorphResult{};  // the blend as last sent, or 255 to force a full send
  bool MorphPending = false;

 private:
  void FillResult() { MorphResult.bytes.fill(255); }

  const BankSet& blofeld_;
  ParameterSendFn send_;
  std::optional<int> index1_;
  std::optional<int> index2_;
  int position_ = 0;
  int shownPercent_ = 0;
  bool withDetune_ = false;
  // The full blend of the last computation, offsets 64/65 taken from the
  // first sound: what a save writes even after MorphResult was refilled.
  std::optional<SoundData> lastBlend_;
};

}  // namespace tarvix
