#include "editor/ControlLayout.h"

#include <string_view>

#include "editor/ParameterMap.h"

namespace tarvix {

namespace {

inline constexpr int kEffect1TypeOffset = 135;
inline constexpr int kEffect2TypeOffset = 151;
inline constexpr int kArpPatternOffset = 319;
inline constexpr int kUserPattern = 1;

// Per effect type the controls it uses: "1".."10" for parameter knobs,
// "P" for the polarity LED, "C" for the curve list, "L" for the length list.
struct Use {
  std::string_view key;
  std::string_view caption;
};

std::vector<Use> UsesOf(int type) {
  switch (type) {
    case 1: return {{"1", "Speed"}, {"2", "Depth"}};
    case 2: return {{"P", "Polarity+"}, {"1", "Speed"}, {"2", "Depth"}, {"5", "Feedback"}};
    case 3:
      return {{"P", "Polarity+-"}, {"1", "Speed"}, {"2", "Depth"}, {"5", "Feedback"}, {"6", "Center"},
              {"7", "Spacing"}};
    case 4: return {{"2", "Drive"}, {"3", "Post Gain"}, {"6", "Cutoff"}, {"C", "Curve"}};
    case 5:
      return {{"1", "Speed"}, {"2", "Depth"}, {"4", "Chorus Mix"}, {"5", "Sample&Hold"}, {"6", "Overdrive"}};
    case 6: return {{"P", "Polarity+-"}, {"4", "Length"}, {"5", "Feedback"}, {"6", "Cutoff"}, {"10", "Spread"}};
    case 7: return {{"P", "Polarity+-"}, {"5", "Feedback"}, {"6", "Cutoff"}, {"10", "Spread"}, {"L", "Length"}};
    case 8:
      return {{"1", "Size"},   {"2", "Shape"},     {"3", "Decay"},  {"6", "Lopass"},
              {"7", "Hipass"}, {"8", "Diffusion"}, {"9", "Damping"}};
    default: return {};
  }
}

struct EffectControls {
  std::vector<std::pair<std::string, std::size_t>> byKey;  // key -> control index
};

EffectControls ControlsOfEffect(int effect) {
  const auto& map = ParameterMap::Instance();
  EffectControls e;
  const std::string knob = effect == 1 ? "KnobEffect1Para" : "KnobEffect2Para";
  const int count = effect == 1 ? 7 : 10;
  for (int i = 1; i <= count; ++i) e.byKey.emplace_back(std::to_string(i), map.IndexOf(knob + std::to_string(i)));
  e.byKey.emplace_back("P", map.IndexOf(effect == 1 ? "CheckLedEffectPara0" : "CheckLedEffect2Para0"));
  e.byKey.emplace_back("C", map.IndexOf(effect == 1 ? "cmbEffect1Curve" : "cmbEffect2Curve"));
  if (effect == 2) e.byKey.emplace_back("L", map.IndexOf("cmbEffect2Length"));
  return e;
}

void AddEffect(std::vector<LayoutItem>& items, int effect, int type) {
  static const EffectControls controls[2] = {ControlsOfEffect(1), ControlsOfEffect(2)};
  // Effect 1 offers only the first six types.
  const auto uses = (effect == 1 && type > 5) ? std::vector<Use>{} : UsesOf(type);
  for (auto& [key, index] : controls[effect - 1].byKey) {
    LayoutItem item{index, false, std::string()};
    for (auto& u : uses)
      if (u.key == key) item = {index, true, std::string(u.caption)};
    items.push_back(std::move(item));
  }
}

}  // namespace

ControlLayout ControlLayout::For(int effect1Type, int effect2Type, int arpPattern) {
  const auto& map = ParameterMap::Instance();
  ControlLayout l;
  AddEffect(l.items_, 1, effect1Type);
  AddEffect(l.items_, 2, effect2Type);
  const bool steps = arpPattern == kUserPattern;
  static const char* const kStepControls[] = {"KnobArpStep", "KnobArpAccent", "CheckLedGlide", "KnobArpTiming",
                                              "KnobArpLength"};
  for (int k = 1; k <= 16; ++k)
    for (const char* prefix : kStepControls)
      l.items_.push_back({map.IndexOf(prefix + std::to_string(k)), steps, std::nullopt});

  l.slot_.assign(map.size(), -1);
  for (std::size_t i = 0; i < l.items_.size(); ++i) l.slot_[l.items_[i].control] = static_cast<int>(i);
  return l;
}

ControlLayout ControlLayout::For(const SoundData& s) {
  return For(s[kEffect1TypeOffset], s[kEffect2TypeOffset], s[kArpPatternOffset]);
}

bool ControlLayout::IsVisible(std::size_t control) const {
  if (control >= slot_.size() || slot_[control] < 0) return true;
  return items_[static_cast<std::size_t>(slot_[control])].visible;
}

std::optional<std::string> ControlLayout::Caption(std::size_t control) const {
  if (control >= slot_.size() || slot_[control] < 0) return std::nullopt;
  return items_[static_cast<std::size_t>(slot_[control])].caption;
}

}  // namespace tarvix
