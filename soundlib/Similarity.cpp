// How near two sounds are, and conditions on single parameters.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <set>
#include <tuple>

#include "editor/ControlState.h"
#include "editor/ParameterMap.h"
#include "soundlib/SoundLibrary.h"

namespace tarvix {
namespace {

// One byte (or bit field) of the sound as the distance sees it.
struct Term {
  int offset = 0;
  int shift = 0;
  int mask = 0xFF;
  int flagOffset = -1;  // oscillator shapes: the byte that makes the entry a sample
  bool categorical = false;
  double range = 1;  // byte steps from one end of a knob to the other
  double weight = 1;
};

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Pitch and level change what the sound is more than anything else; the
// arpeggiator's settings do not change the sound at all until it is played
// with the arpeggiator on, so they weigh little.
double WeightOf(const ControlSpec& c) {
  if (c.page == Page::Arpeggiator) return 0.25;
  const std::string& l = c.label;
  if (Contains(l, "Octave") || Contains(l, "Semitone") || Contains(l, "Detune") || Contains(l, "Pitch") ||
      Contains(l, "Volume") || Contains(l, "Level"))
    return 3;
  return 1;
}

std::vector<Term> BuildTerms() {
  std::vector<Term> terms;
  std::set<std::tuple<int, int, int>> seen;
  for (const ControlSpec& c : ParameterMap::Instance().Controls()) {
    if (c.page == Page::Header) continue;  // name and category are labels, not sound
    const int mask = c.encoding == Encoding::Packed ? c.mask : 0xFF;
    const int shift = c.encoding == Encoding::Packed ? c.shift : 0;
    // Effect parameters share bytes between effect types: one term per byte.
    if (!seen.insert({c.offset, shift, mask}).second) continue;
    Term t;
    t.offset = c.offset;
    t.shift = shift;
    t.mask = mask;
    t.weight = WeightOf(c);
    t.categorical = !c.IsKnob();
    if (c.encoding == Encoding::Shape) t.flagOffset = c.sampleFlagOffset;
    t.range = std::max(1, c.max - c.min) * (c.encoding == Encoding::Octave ? 12.0 : 1.0);
    terms.push_back(t);
  }
  return terms;
}

const std::vector<Term>& Terms() {
  static const std::vector<Term> terms = BuildTerms();
  return terms;
}

std::string Fold(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '_' && c != '-') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // "Osc1 Shape" for "Oscillator 1 Shape": the editor's own captions say Osc.
  for (std::size_t p; (p = out.find("oscillator")) != std::string::npos;) out.replace(p, 10, "osc");
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string_view s) { return TrimControlAndBlanks(s); }

}  // namespace

double SoundDistance(const SoundData& a, const SoundData& b) {
  double sum = 0;
  double weights = 0;
  for (const Term& t : Terms()) {
    const int va = (a[static_cast<std::size_t>(t.offset)] >> t.shift) & t.mask;
    const int vb = (b[static_cast<std::size_t>(t.offset)] >> t.shift) & t.mask;
    double d;
    if (t.categorical) {
      d = va != vb;
      if (t.flagOffset >= 0 && a[static_cast<std::size_t>(t.flagOffset)] != b[static_cast<std::size_t>(t.flagOffset)]) d = 1;
    } else {
      d = std::min(1.0, std::abs(va - vb) / t.range);
    }
    sum += t.weight * d;
    weights += t.weight;
  }
  return weights > 0 ? sum / weights : 0;
}

ParameterCondition ParseParameterCondition(std::string_view condition) {
  const auto eq = condition.find('=');
  if (eq == std::string_view::npos)
    throw LibraryError("\"" + std::string(condition) + "\" is not PARAMETER=VALUE");
  const std::string name = Trim(condition.substr(0, eq));
  const std::string value = Trim(condition.substr(eq + 1));
  const auto& map = ParameterMap::Instance();
  std::vector<std::size_t> found;
  if (auto exact = map.Find(name)) {
    found.push_back(*exact);
  } else {
    const std::string key = Fold(name);
    for (std::size_t i = 0; i < map.size(); ++i)
      if (Fold(map[i].name) == key || Fold(map[i].group + map[i].label) == key) found.push_back(i);
  }
  if (found.empty()) throw LibraryError("No parameter is called \"" + name + "\" (see tarvix-cli params for the names)");
  if (found.size() > 1) {
    std::string names;
    for (std::size_t i : found) names += (names.empty() ? "" : ", ") + map[i].name;
    throw LibraryError("\"" + name + "\" names several parameters: " + names);
  }
  ParameterCondition c;
  c.control = found.front();
  const ControlSpec& spec = map[c.control];
  int number = 0;
  const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (!value.empty() && ec == std::errc() && ptr == value.data() + value.size()) {
    c.value = number;
    return c;
  }
  c.text = value;
  if (spec.IsLed()) {
    if (SameText(value, "on")) c.value = 1;
    else if (SameText(value, "off")) c.value = 0;
    else throw LibraryError(spec.name + " is On or Off, not \"" + value + "\"");
  } else if (spec.IsList()) {
    for (std::size_t i = 0; i < spec.entries->size(); ++i)
      if (SameText(Trim((*spec.entries)[i]), value)) c.value = static_cast<int>(i);
    if (!c.value) {
      std::string entries;
      for (const auto& e : *spec.entries) entries += (entries.empty() ? "" : ", ") + Trim(e);
      throw LibraryError(spec.name + " has no entry \"" + value + "\" (entries: " + entries + ")");
    }
  }
  return c;
}

bool ParameterCondition::Matches(const SoundData& sound) const {
  const auto& map = ParameterMap::Instance();
  const ControlSpec& spec = map[control];
  if (value) return ReadControl(sound, spec) == *value;
  // A knob asked for by its caption ("Oct 8'", "Keytrck 100%").
  const ControlState state = ReadControls(sound);
  const auto caption = KnobCaptionFor(state, control);
  return SameText(Trim(caption ? *caption : std::to_string(state.values[control])), text);
}

}  // namespace tarvix
