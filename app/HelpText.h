#pragma once
// The lines of the short-help window, group by group with a blank line
// between groups.

#include <string>
#include <vector>

namespace tarvix {

// The driver note's first line; the log memo starts with it too.
inline constexpr const char* kDriverNoteLine = "Must be installed Waldorf-Blofeld.inf ";

std::vector<std::string> ShortHelpLines();

}  // namespace tarvix
