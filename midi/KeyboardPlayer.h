#pragma once
// Plays notes on the instrument from the computer's letter keys. A timer
// calls Tick with the letters held at that moment; a newly held key sends a
// note-on with the volume as velocity, a released key the note-off.
//
// Each key remembers the note and channel it actually started, so its
// note-off matches even when the octave or the channel changed while it was
// held. Notes above 127 do not exist in MIDI and are never sent. Two keys
// that reach the same note (one held across an octave change) share it: the
// note starts with the first and stops with the last. ReleaseAll stops every
// sounding note, for when key releases can no longer be seen (the panel is
// hidden, the program loses the focus).

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "midi/MidiService.h"

namespace tarvix {

class KeyboardPlayer {
 public:
  static constexpr int kStartOctave = 4;
  static constexpr int kMaxOctave = 10;
  static constexpr int kMaxVolume = 127;

  // Where notes go; asked at every send, so a reopened output gets the
  // note-offs of notes started before. Returning nullptr drops the message.
  using OutputProvider = std::function<MidiOut*()>;

  explicit KeyboardPlayer(OutputProvider output = {}) : output_(std::move(output)) {}
  void SetOutput(OutputProvider output) { output_ = std::move(output); }

  int Octave() const { return octave_; }
  // The editor's keypad keys change this same octave while it is open.
  int& OctaveStorage() { return octave_; }
  void OctaveUp();
  void OctaveDown();
  // "Octave 4"
  std::string OctaveLabel() const;

  // The channel (0..15) of the part selected in the parts tree.
  int KeyboardChannel() const { return channel_; }
  void SetKeyboardChannel(int channel);
  int Volume() const { return volume_; }
  void SetVolume(int volume);

  // One scan: `held` holds the upper-case letters down right now.
  void Tick(const std::set<char>& held);
  // Note-off for every sounding note.
  void ReleaseAll();
  // The note a key of the table started and still holds, or -1.
  int SoundingNote(int keyIndex) const;
  int SoundingCount() const;

 private:
  struct Sounding {
    int note = -1;
    int channel = 0;
  };
  void NoteOn(int channel, int note);
  void NoteOff(int channel, int note);
  void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  OutputProvider output_;
  int octave_ = kStartOctave;
  int channel_ = 0;
  int volume_ = kMaxVolume;
  std::array<Sounding, 16> keys_{};
  std::array<std::array<std::uint8_t, 128>, 16> holders_{};  // keys holding each channel's note
};

}  // namespace tarvix
