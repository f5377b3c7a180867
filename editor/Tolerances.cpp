#include "editor/Tolerances.h"

#include <cstdlib>

namespace tarvix {

std::optional<int> ToleranceFor(const SchemaControl& c, const Tolerances& t) {
  switch (c.kind) {
    case ControlKind::List: return t.comboBox;
    case ControlKind::Led: return std::nullopt;
    case ControlKind::Knob: break;
  }
  switch (c.tag) {
    case 0:
    case knobtag::kBalance:
    case knobtag::kStartPhase:
    // Tempo and LFO speed are continuous like any other knob; without a
    // class they would always randomize to their middle and a family made
    // from a sound would lose its rhythm and movement.
    case knobtag::kTempo:
    case knobtag::kLfoSpeed: return t.otherKnobs;
    // The step knobs pick named choices (step type, accent, timing, length),
    // so they stay as near as a list does.
    case knobtag::kArpStep:
    case knobtag::kArpAccent:
    case knobtag::kArpTiming:
    case knobtag::kArpLength: return t.comboBox;
    case knobtag::kOctave: return t.octave;
    case knobtag::kKeytrack: return t.keytrack;
    case knobtag::kSemitone: return t.semitone;
    case knobtag::kDetune: return t.detune;
    default: return std::nullopt;
  }
}

std::string MaskAround(const SchemaControl& c, int value, const Tolerances& t) {
  if (c.kind == ControlKind::Led) return value == 0 ? "10" : "01";
  const auto tol = ToleranceFor(c, t);
  if (!tol) return {};
  std::string mask;
  const int count = ValueCount(c);
  mask.reserve(static_cast<std::size_t>(count));
  // Knob values run from Min; list entries from 0. Either way the mask is
  // indexed from the first value.
  const int first = c.kind == ControlKind::Knob ? c.min : 0;
  for (int i = 0; i < count; ++i) mask += std::abs(first + i - value) <= *tol ? '1' : '0';
  return mask;
}

}  // namespace tarvix
