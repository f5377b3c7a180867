#pragma once
// Two small rules of the computer keyboard, kept apart from the windows so
// they can be checked without a display.

#include <string_view>

namespace tarvix {

// While the keyboard is on, the main window eats the typed characters
// a, e, d, f, g and h (lower case) so that playing does not also type into
// the focused control. Every other character passes.
bool SwallowsTypedCharacter(std::string_view typed, bool keyboardOn);

// The key scan runs only while one of these windows is in front: the main
// window, the editor, the morph and the locker. Any other window (a dialog,
// another program, none) stops it.
bool KeyboardScanRunsIn(std::string_view windowClass);

}  // namespace tarvix
