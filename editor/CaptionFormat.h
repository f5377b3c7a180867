#pragma once
// Caption formatters: knobs with one of these tags show a text built from
// their position instead of the form's caption. Results are UTF-8.

#include <optional>
#include <string>

namespace tarvix {

// Knob tags that choose a formatter (and, in the schemas, a tolerance class).
namespace tag {
inline constexpr int kNone = 0;
inline constexpr int kOctave = 1;
inline constexpr int kKeytrack = 2;
inline constexpr int kBalance = 3;
inline constexpr int kStartPhase = 4;
inline constexpr int kSemitone = 5;   // tolerance class only, no formatter
inline constexpr int kDetune = 6;     // tolerance class only, no formatter
inline constexpr int kTempo = 9;
inline constexpr int kLfoSync = 10;
inline constexpr int kArpStep = 20;
inline constexpr int kArpAccent = 21;
inline constexpr int kArpTiming = 22;
inline constexpr int kArpLength = 23;
}  // namespace tag

// num / den rounded to the nearest integer, halves to the even neighbour.
// den must be positive.
long RoundHalfEven(long num, long den);

// Each takes a position inside its knob's range; a position outside it
// gives the position in decimal rather than reading past a table.
std::string FormatOctave(int p);
std::string FormatKeytrack(int p);
std::string FormatBalance(int p);
std::string FormatStartPhase(int p);
std::string FormatTempo(int p);
// The LFO speed caption depends on the same LFO's Clocked LED.
std::string FormatLfoSync(int p, bool clocked);
std::string FormatArpStep(int p);
std::string FormatArpAccent(int p);
std::string FormatArpTiming(int p);
std::string FormatArpLength(int p);

inline constexpr const char* kDegreeSignUtf8 = "\xC2\xB0";

// True for the tags that replace the caption.
bool HasFormatter(int knobTag);
// The caption a knob with this tag shows at this position; nullopt when the
// tag has no formatter (the knob keeps the caption it has). `lfoClocked` is
// only read for tag 10.
std::optional<std::string> KnobCaption(int knobTag, int position, bool lfoClocked = false);

}  // namespace tarvix
