#include "editor/TestNotes.h"

#include <array>

namespace tarvix {

std::optional<int> KeypadTestNote(int digit, int octave) {
  static constexpr std::array<int, 9> kSteps{12, 14, 16, 17, 19, 21, 23, 24, 26};
  if (digit < 1 || digit > 9) return std::nullopt;
  const int note = 12 * octave + kSteps[static_cast<std::size_t>(digit - 1)];
  if (note < 0 || note > 127) return std::nullopt;
  return note;
}

std::string TestButtonCaption(int octave) {
  return "Test Sound C" + std::to_string(octave) + "-C" + std::to_string(octave + 1);
}

int StepOctave(int octave, bool up) {
  if (up) return octave < kHighestKeyboardOctave ? octave + 1 : octave;
  return octave > kLowestKeyboardOctave ? octave - 1 : octave;
}

}  // namespace tarvix
