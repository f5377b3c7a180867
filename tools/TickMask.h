#pragma once
// The ticks of a value list and their mask text: one character per item in
// list order, '1' ticked, '0' not. Used by the parameter list view and kept
// free of widgets so the rules are testable on their own.

#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

using Ticks = std::vector<bool>;

std::string MaskOf(const Ticks& ticks);
// Ticks for `count` items from a mask; characters other than '1' and items
// beyond the mask are unticked, characters beyond the items are ignored.
Ticks TicksOf(std::string_view mask, std::size_t count);

void TickAll(Ticks& ticks);
void InvertTicks(Ticks& ticks);
// Tick items 0..selected or selected..last, both included; a selection
// outside the list (none) changes nothing. Other items keep their ticks.
void TickUpTo(Ticks& ticks, int selected);
void TickFrom(Ticks& ticks, int selected);

}  // namespace tarvix
