#pragma once
// Which editor control a controller number from the instrument moves, and
// how the controller value becomes the control's value. The instrument sends
// these control changes when its own knobs are turned; the editor follows
// them without sending them back.

#include <optional>
#include <string_view>

namespace tarvix {

enum class ControllerConversion {
  Direct,   // value as it is (knob position or list entry)
  Centred,  // value - 64
  Octave,   // (value - 16) div 12
};

struct ControllerTarget {
  std::string_view control;  // object name in the parameter map
  ControllerConversion conversion = ControllerConversion::Direct;
};

// The target of a controller number, none for controllers the editor ignores.
std::optional<ControllerTarget> ControllerTargetFor(int controller);
// The control value for a controller value (0..127).
int ControllerValue(ControllerConversion conversion, int value);

}  // namespace tarvix
