#pragma once
// Converts between SysEx sound files and Standard MIDI files on disk: opens
// the source, asks before replacing an existing target, and writes the
// target atomically, so a failure half-way leaves any old target untouched
// and never a partial file. Errors are std::runtime_error with a message
// that starts with the file concerned.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tarvix {

enum class ConvertMode { SysexToMidi, MidiToSysex };

struct ConvertResult {
  std::size_t messages = 0;      // sound dumps written
  std::size_t incomplete = 0;    // MIDI to SysEx: messages without their F7, left out
  std::size_t skipped = 0;       // messages that are no sound dump (SysEx to MIDI: or cut off), left out
  std::uint64_t strayBytes = 0;  // SysEx to MIDI: bytes outside any message
  std::string damage;            // MIDI to SysEx: why the file could not be read to its end
};

// What a conversion did, in one line for the user: what was written and,
// when something was left out, how much and why.
std::string ConvertReport(ConvertMode mode, const ConvertResult& result);

// Converts `source` to `target`. MIDI to SysEx writes no target when no
// sound dump was found (messages is 0 then). When the target exists, `confirmOverwrite`
// decides (no function: never replace); a refusal returns nullopt and
// writes nothing. The source is opened first, so an unreadable source is
// reported without a needless question.
std::optional<ConvertResult> ConvertFile(ConvertMode mode, const std::filesystem::path& source,
                                         const std::filesystem::path& target,
                                         const std::function<bool()>& confirmOverwrite);

}  // namespace tarvix
