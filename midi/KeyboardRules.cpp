#include "midi/KeyboardRules.h"

#include <array>

namespace tarvix {

bool SwallowsTypedCharacter(std::string_view typed, bool keyboardOn) {
  if (!keyboardOn || typed.size() != 1) return false;
  return std::string_view("aedfgh").find(typed[0]) != std::string_view::npos;
}

bool KeyboardScanRunsIn(std::string_view windowClass) {
  constexpr std::array<std::string_view, 4> kPlayable{"TfrmMain", "TfrmPatchEdit", "TfrmMorph", "TfrmLocker"};
  for (std::string_view c : kPlayable)
    if (c == windowClass) return true;
  return false;
}

}  // namespace tarvix
