#pragma once
// The editor's controls as plain values: one int per control of the
// parameter map (knob position, list entry, LED 0/1) plus the name text.
// A sound is read into a state and a state is written into a sound with the
// byte encodings of the map; the editor window keeps widgets in step with a
// state and leaves all byte logic to these functions.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ControlLayout.h"
#include "editor/ControlDefinition.h"
#include "library/SoundData.h"

namespace tarvix {

// A list with no entry selected (its byte lies outside the list).
inline constexpr int kNoSelection = -1;

struct ControlState {
  std::vector<int> values;  // indexed like ParameterMap::Controls()
  std::string name;         // the name field's text (Latin-1 bytes, as stored)
  // Which controls the user has moved since the sound was loaded. Empty
  // means every control. A control that was never moved keeps its bytes as
  // they are, even when they lie outside its range or list: opening a sound
  // must not change it.
  std::vector<bool> moved;
  bool nameEdited = true;   // false: the name bytes are kept as stored

  bool Moved(std::size_t control) const { return moved.empty() || (control < moved.size() && moved[control]); }

  // Value of the control with this name; throws std::out_of_range if none.
  int& operator[](std::string_view control);
  int operator[](std::string_view control) const;
};

// The shown value of one control from the sound. Knobs give the decoded
// value even outside their range (the knob widget then keeps its place);
// lists give kNoSelection for a byte outside the list; LEDs 1 lit, 0 dark.
// `sampleCount` is the number of sample names in the oscillator shape lists.
int ReadControl(const SoundData& sound, const ControlSpec& spec, int sampleCount = 0);
ControlState ReadControls(const SoundData& sound, int sampleCount = 0);
// The number the sound holds for a control, before any decoding into a list
// entry (the byte, or the bit field of a packed byte).
int StoredField(const SoundData& sound, const ControlSpec& spec);

// Writes every control into the sound. Controls that write only while
// visible follow the layout that belongs to the sound's type bytes as they
// are before this write, which is the layout the editor shows during its
// pass. Packed bytes are written whole from all their controls. A list with
// no selection leaves its byte (or bit field) as it is, except the effect
// curve and length lists, which write 0. Knob values are limited so that
// every byte written stays within 0..127. Bytes no control edits are not
// touched; the name is blank-padded to 16 characters. Only the controls the
// state marks as moved are written (the bit fields of a packed byte that no
// moved control owns keep their bits).
void WriteControls(const ControlState& state, SoundData& sound, int sampleCount = 0);
void WriteControls(const ControlState& state, SoundData& sound, const ControlLayout& layout, int sampleCount);

// What the editor would show for the byte at this offset, as text: the list
// entry, "on"/"off" for an LED, a knob's caption text or its value. A byte
// shared by several controls (bit fields, effect parameters) joins the
// texts of the controls the sound's layout shows with "/". Bytes that no
// control edits, and values outside a list, read as their number.
std::string ValueTextAt(const SoundData& sound, int offset);

// The caption a knob shows for its value in this state: the formatter's text
// for tagged knobs (the LFO speed reads its Clocked LED), nullopt for knobs
// that keep their caption, and for lists and LEDs.
std::optional<std::string> KnobCaptionFor(const ControlState& state, std::size_t control);

}  // namespace tarvix
