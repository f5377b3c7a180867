#include "midi/ConverterTexts.h"

namespace tarvix {
namespace {
constexpr const char* kSysexFilter = "SysEx files|*.syx";
constexpr const char* kMidiFilter = "Midi files|*.mid|All files|*.*";
}  // namespace

ConverterTexts TextsFor(ConvertMode mode) {
  if (mode == ConvertMode::SysexToMidi)
    return {"Convert SysEx to Midi", "SysEx filename", "Midi filename", kSysexFilter, kMidiFilter, ".mid"};
  return {"Convert Midi to SysEx", "Midi filename", "SysEx filename", kMidiFilter, kSysexFilter, ".syx"};
}

std::string SuggestedTarget(ConvertMode mode, const std::string& source) { return source + TextsFor(mode).targetSuffix; }

}  // namespace tarvix
