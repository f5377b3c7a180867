#include "editor/TransferPass.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "editor/ParameterMap.h"

namespace tarvix {

void TransferPass::SleepOneMillisecond() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

TransferPass::TransferPass(const SoundData& sound, SendParameter send, Pause pause)
    : EditSound(sound),
      PreviousSound(sound),
      CompareSound(sound),
      send_(std::move(send)),
      pause_(std::move(pause)),
      heldBack_(kSoundSize, false) {}

void TransferPass::Mark(std::size_t control, bool fromInstrument) {
  const auto& map = ParameterMap::Instance();
  if (control >= map.size()) return;
  const auto& c = map[control];
  heldBack_[static_cast<std::size_t>(c.offset)] = fromInstrument;
  if (c.sampleFlagOffset >= 0) heldBack_[static_cast<std::size_t>(c.sampleFlagOffset)] = fromInstrument;
}

void TransferPass::MarkFromInstrument(std::size_t control) { Mark(control, true); }
void TransferPass::MarkFromUser(std::size_t control) { Mark(control, false); }

void TransferPass::SetCategory(std::uint8_t category) { tarvix::SetCategory(EditSound, category); }

bool TransferPass::HeldBack(int offset) const {
  return offset >= 0 && offset < static_cast<int>(kSoundSize) && heldBack_[static_cast<std::size_t>(offset)];
}

void TransferPass::WriteInto(const ControlState& state, SoundData& sound) const {
  // A name byte of 128 or more is no SysEx data byte: it would reach the
  // instrument cut to seven bits and make every later dump of this sound
  // invalid. Such characters (and control codes) are stored as "?".
  ControlState clean = state;
  for (char& ch : clean.name) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 32 || b > 127) ch = '?';
  }
  // The name first, then every control in the map's (group) order; the
  // layout used for the shared effect bytes is the one shown during the pass.
  WriteControls(clean, sound, SampleCount);
}

SoundData TransferPass::Preview(const ControlState& state) const {
  SoundData sound = EditSound;
  WriteInto(state, sound);
  return sound;
}

int TransferPass::ApplyControlsToSound(const ControlState& state) {
  const auto& map = ParameterMap::Instance();
  if (state.values.size() != map.size())
    throw std::invalid_argument("editor state holds " + std::to_string(state.values.size()) + " values, expected " +
                                std::to_string(map.size()));
  // The bytes compared against are those the instrument holds after the
  // last pass, not EditSound at the start of this one: init commands and
  // randomizers write EditSound directly, and their changes must reach the
  // instrument too.
  PreviousSound = CompareSound;
  WriteInto(state, EditSound);
  CompareSound = EditSound;

  int sent = 0;
  // Only parameter bytes can differ; the header, checksum and end byte are
  // never written by the controls, so the range stops at the last parameter.
  for (int i = static_cast<int>(offs::kFirstParameter); i <= static_cast<int>(offs::kLastParameter); ++i) {
    const auto o = static_cast<std::size_t>(i);
    if (CompareSound[o] == PreviousSound[o] || heldBack_[o]) continue;
    // The category travels only with whole sounds; the instrument has no
    // parameter for it.
    if (o == offs::kCategory) continue;
    if (send_) send_(i - static_cast<int>(offs::kFirstParameter), CompareSound[o]);
    ++sent;
    if (pause_) pause_();
  }
  heldBack_.assign(kSoundSize, false);
  return sent;
}

}  // namespace tarvix
