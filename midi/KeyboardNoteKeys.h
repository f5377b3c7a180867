#pragma once
// The sixteen letter keys that play notes, laid out like a piano's white and
// black keys on the home row and the row above it. The entry's index is its
// semitone above the octave's first note.

#include <array>

namespace tarvix {

struct KeyboardNoteKey {
  const char* noteName;  // up to three characters
  char key;              // the upper-case letter (also its virtual key code)
};

inline constexpr std::array<KeyboardNoteKey, 16> KeyboardNoteKeys{{
    {"C", 'A'},
    {"C#", 'W'},
    {"D", 'S'},
    {"D#", 'E'},
    {"E", 'D'},
    {"F", 'F'},
    {"F#", 'T'},
    {"G", 'G'},
    {"G#", 'Y'},
    {"A", 'H'},
    {"A#", 'U'},
    {"H", 'J'},
    {"C1", 'K'},
    {"C#1", 'O'},
    {"D1", 'L'},
    {"D#1", 'P'},
}};

}  // namespace tarvix
