#pragma once
// The editor's test notes: keypad digits 1..9 play C, D, E, F, G, A, B, C, D
// from the keyboard octave, and the test button's caption names the octave.

#include <optional>
#include <string>

namespace tarvix {

inline constexpr int kLowestKeyboardOctave = 0;
inline constexpr int kHighestKeyboardOctave = 9;

// The note for keypad digit 1..9 at this octave; none for another digit or
// for a note above 127, which MIDI cannot carry.
std::optional<int> KeypadTestNote(int digit, int octave);
// "Test Sound C4-C5" for octave 4.
std::string TestButtonCaption(int octave);
// The octave after keypad minus (down) or plus (up), kept within 0..9.
int StepOctave(int octave, bool up);

}  // namespace tarvix
