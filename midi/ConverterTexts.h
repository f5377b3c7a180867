#pragma once
// The converter dialog's words and file-name rules for each direction, kept
// out of the window so they can be checked without a display.

#include <string>

#include "midi/MidiFileConverter.h"

namespace tarvix {

inline constexpr const char* kOverwriteQuestion = "Do you want to overwrite?";

struct ConverterTexts {
  std::string title;         // window title and go button
  std::string sourceLabel;   // above the source field
  std::string targetLabel;   // above the target field
  std::string sourceFilter;  // open dialog of the source "..." button
  std::string targetFilter;  // open dialog of the target "..." button
  std::string targetSuffix;  // appended to the source name to suggest the target
};

ConverterTexts TextsFor(ConvertMode mode);

// The suggested target: the whole source name, extension included, with the
// target's extension appended ("bank.syx" -> "bank.syx.mid"), so a
// suggestion never collides with its own source.
std::string SuggestedTarget(ConvertMode mode, const std::string& source);

}  // namespace tarvix
