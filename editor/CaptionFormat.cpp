#include "editor/CaptionFormat.h"

#include "editor/Vocabulary.h"

namespace tarvix {

long RoundHalfEven(long num, long den) {
  long q = num / den;  // truncated towards zero
  long r = num % den;  // same sign as num
  long twice = 2 * (r < 0 ? -r : r);
  int dir = (num < 0) ? -1 : 1;
  if (twice > den || (twice == den && (q % 2 != 0))) q += dir;
  return q;
}

namespace {

std::string Pick(const Vocabulary& v, int p) {
  if (p < 0 || p >= static_cast<int>(v.size())) return std::to_string(p);
  return v[static_cast<std::size_t>(p)];
}

}  // namespace

std::string FormatOctave(int p) {
  if (p < 0 || p > 8) return std::to_string(p);
  return "Oct " + OctaveFeet()[static_cast<std::size_t>(p)] + "'";
}

std::string FormatKeytrack(int p) {
  // 64 is 0 % and 127 is +196 %, the instrument's own scale.
  return "Keytrck " + std::to_string(RoundHalfEven((p - 64L) * 196L, 63L)) + "%";
}

std::string FormatBalance(int p) {
  if (p < 0) return "Bal F1 " + std::to_string(-p);
  if (p == 0) return "Bal middle";
  return "Bal F2 " + std::to_string(p);
}

std::string FormatStartPhase(int p) {
  return "Start Phase " + std::to_string(RoundHalfEven(p * 355L, 127L)) + kDegreeSignUtf8;
}

std::string FormatTempo(int p) {
  // Three slopes: coarse at the slow end, one bpm per step in the middle,
  // five per step at the fast end.
  long bpm = p <= 25 ? 40 + 2L * p : p <= 100 ? p + 65L : 165 + 5L * (p - 100);
  return "Tempo" + std::to_string(bpm);
}

std::string FormatLfoSync(int p, bool clocked) {
  if (!clocked) return "Speed";
  if (p < 0 || p > 127) return std::to_string(p);
  return LfoSyncNames()[static_cast<std::size_t>(p / 2)];
}

std::string FormatArpStep(int p) { return Pick(ArpStepNames(), p); }
std::string FormatArpAccent(int p) { return Pick(ArpAccentNames(), p); }
std::string FormatArpTiming(int p) { return Pick(ArpTimingNames(), p); }
std::string FormatArpLength(int p) { return Pick(ArpLengthNames(), p); }

bool HasFormatter(int knobTag) {
  switch (knobTag) {
    case tag::kOctave: case tag::kKeytrack: case tag::kBalance: case tag::kStartPhase: case tag::kTempo:
    case tag::kLfoSync: case tag::kArpStep: case tag::kArpAccent: case tag::kArpTiming: case tag::kArpLength:
      return true;
    default:
      return false;
  }
}

std::optional<std::string> KnobCaption(int knobTag, int p, bool lfoClocked) {
  switch (knobTag) {
    case tag::kOctave: return FormatOctave(p);
    case tag::kKeytrack: return FormatKeytrack(p);
    case tag::kBalance: return FormatBalance(p);
    case tag::kStartPhase: return FormatStartPhase(p);
    case tag::kTempo: return FormatTempo(p);
    case tag::kLfoSync: return FormatLfoSync(p, lfoClocked);
    case tag::kArpStep: return FormatArpStep(p);
    case tag::kArpAccent: return FormatArpAccent(p);
    case tag::kArpTiming: return FormatArpTiming(p);
    case tag::kArpLength: return FormatArpLength(p);
    default: return std::nullopt;
  }
}

}  // namespace tarvix
