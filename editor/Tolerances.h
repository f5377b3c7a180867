#pragma once
// The six distances used when a schema is made from the current sound: how
// far (in value indexes) a drawn value may lie from the sound's own value,
// per class of control. Kept by the main window and stored in the settings.

#include <optional>
#include <string>

#include "editor/SchemaControl.h"

namespace tarvix {

struct Tolerances {
  int comboBox = 0;   // "ToleranceComboBox": every list, arpeggiator step knobs
  int octave = 2;     // "ToleranceOctave": knobs with tag 1
  int keytrack = 0;   // "ToleranceKeytrack": tag 2
  int otherKnobs = 10;  // "ToleranceOtherKnobs": tags 0, 3, 4, 9, 10
  int semitone = 0;   // "ToleranceSemitoneKnobs": tag 5
  int detune = 3;     // "ToleranceDetuneKnobs": tag 6
  bool operator==(const Tolerances&) const = default;
};

// The tolerance of the control's class; none for LEDs. Tempo and LFO speed
// count as other knobs, the arpeggiator step knobs as lists.
std::optional<int> ToleranceFor(const SchemaControl& control, const Tolerances& t);

// The mask a control gets from its present value index: "1" for every index
// within the tolerance. LEDs get "10" when lit (index 0) and "01" when dark;
// a knob of no class would get an empty mask (it randomizes to its middle).
std::string MaskAround(const SchemaControl& control, int value, const Tolerances& t);

}  // namespace tarvix
