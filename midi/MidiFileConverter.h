#pragma once
// Converts between SysEx sound files and Standard MIDI files on disk: opens
// the source, asks before replacing an existing target, and writes the
// target atomically, so a failure half-way leaves any old target untouched
// and never a partial file. Errors are std::runtime_error with a message
// that starts with the file concerned.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>

namespace tarvix {

enum class ConvertMode { SysexToMidi, MidiToSysex };

struct ConvertResult {
  std::size_t messages = 0;    // events or messages written
  std::size_t incomplete = 0;  // MIDI to SysEx: messages without their F7, left out
};

// Converts `source` to `target`. When the target exists, `confirmOverwrite`
// decides (no function: never replace); a refusal returns nullopt and
// writes nothing. The source is opened first, so an unreadable source is
// reported without a needless question.
std::optional<ConvertResult> ConvertFile(ConvertMode mode, const std::filesystem::path& source,
                                         const std::filesystem::path& target,
                                         const std::function<bool()>& confirmOverwrite);

}  // namespace tarvix
