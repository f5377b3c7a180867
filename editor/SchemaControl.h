#pragma once
// What the schemas and randomizers need to know about one editor control:
// its name (the component name of the knob, list or LED), its kind and the
// range of value indexes it can take. The editor fills these from its
// parameter map; the built-in control table carries the same facts.

#include <string>

// ControlKind is shared with the parameter map, so both describe a control
// with one type.
#include "editor/ControlDefinition.h"

namespace tarvix {

struct SchemaControl {
  std::string name;
  ControlKind kind = ControlKind::Knob;
  int min = 0;          // knobs: the shown range
  int max = 127;
  int tag = 0;          // knobs: caption formatter and tolerance class
  int entryCount = 0;   // lists: number of entries
};

// Number of value indexes: a knob's Min..Max, a list's entries, an LED's
// "On" and "Off". Never negative.
inline int ValueCount(const SchemaControl& c) {
  switch (c.kind) {
    case ControlKind::Knob: return c.max >= c.min ? c.max - c.min + 1 : 0;
    case ControlKind::List: return c.entryCount > 0 ? c.entryCount : 0;
    case ControlKind::Led: return 2;
  }
  return 0;
}

// Knob tags with a meaning for schemas and captions.
namespace knobtag {
inline constexpr int kOctave = 1;
inline constexpr int kKeytrack = 2;
inline constexpr int kBalance = 3;
inline constexpr int kStartPhase = 4;
inline constexpr int kSemitone = 5;
inline constexpr int kDetune = 6;
inline constexpr int kTempo = 9;
inline constexpr int kLfoSpeed = 10;
inline constexpr int kArpStep = 20;
inline constexpr int kArpAccent = 21;
inline constexpr int kArpTiming = 22;
inline constexpr int kArpLength = 23;
}  // namespace knobtag

}  // namespace tarvix
