#include "tools/TickMask.h"

namespace tarvix {

std::string MaskOf(const Ticks& ticks) {
  std::string m;
  m.reserve(ticks.size());
  for (bool t : ticks) m.push_back(t ? '1' : '0');
  return m;
}

Ticks TicksOf(std::string_view mask, std::size_t count) {
  Ticks t(count, false);
  for (std::size_t i = 0; i < count && i < mask.size(); ++i) t[i] = mask[i] == '1';
  return t;
}

void TickAll(Ticks& ticks) { ticks.assign(ticks.size(), true); }

void InvertTicks(Ticks& ticks) { ticks.flip(); }

void TickUpTo(Ticks& ticks, int selected) {
  if (selected < 0 || static_cast<std::size_t>(selected) >= ticks.size()) return;
  for (int i = 0; i <= selected; ++i) ticks[static_cast<std::size_t>(i)] = true;
}

void TickFrom(Ticks& ticks, int selected) {
  if (selected < 0 || static_cast<std::size_t>(selected) >= ticks.size()) return;
  for (std::size_t i = static_cast<std::size_t>(selected); i < ticks.size(); ++i) ticks[i] = true;
}

}  // namespace tarvix
