#include "midi/KeyboardPlayer.h"

#include <algorithm>

#include "midi/KeyboardNoteKeys.h"

namespace tarvix {

void KeyboardPlayer::OctaveUp() {
  if (octave_ < kMaxOctave) ++octave_;
}

void KeyboardPlayer::OctaveDown() {
  if (octave_ > 0) --octave_;
}

std::string KeyboardPlayer::OctaveLabel() const { return "Octave " + std::to_string(octave_); }

void KeyboardPlayer::SetKeyboardChannel(int channel) { channel_ = std::clamp(channel, 0, 15); }

void KeyboardPlayer::SetVolume(int volume) { volume_ = std::clamp(volume, 0, kMaxVolume); }

void KeyboardPlayer::Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (!output_) return;
  if (MidiOut* out = output_()) out->SendShort(status, data1, data2);
}

void KeyboardPlayer::NoteOn(int channel, int note) {
  if (holders_[channel][note]++ == 0)
    Send(static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(note),
         static_cast<std::uint8_t>(volume_));  // note-on, the volume as velocity
}

void KeyboardPlayer::NoteOff(int channel, int note) {
  if (holders_[channel][note] == 0) return;
  if (--holders_[channel][note] == 0)
    Send(static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(note), 0x00);  // note-off
}

void KeyboardPlayer::Tick(const std::set<char>& held) {
  for (std::size_t i = 0; i < KeyboardNoteKeys.size(); ++i) {
    const bool down = held.count(KeyboardNoteKeys[i].key) > 0;
    Sounding& k = keys_[i];
    if (down && k.note < 0) {
      const int note = 12 * (octave_ + 1) + static_cast<int>(i);
      if (note > 127) continue;  // beyond MIDI's range: the key stays silent
      k = {note, channel_};
      NoteOn(k.channel, k.note);
    } else if (!down && k.note >= 0) {
      NoteOff(k.channel, k.note);
      k = {};
    }
  }
}

void KeyboardPlayer::ReleaseAll() {
  for (Sounding& k : keys_) {
    if (k.note >= 0) NoteOff(k.channel, k.note);
    k = {};
  }
}

int KeyboardPlayer::SoundingNote(int keyIndex) const {
  if (keyIndex < 0 || keyIndex >= static_cast<int>(keys_.size())) return -1;
  return keys_[static_cast<std::size_t>(keyIndex)].note;
}

int KeyboardPlayer::SoundingCount() const {
  return static_cast<int>(std::count_if(keys_.begin(), keys_.end(), [](const Sounding& k) { return k.note >= 0; }));
}

}  // namespace tarvix
