#include "midi/MidiFileConverter.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include "library/AtomicFile.h"
#include "midi/MidiToSysex.h"
#include "midi/SysexToMidi.h"

namespace tarvix {

std::optional<ConvertResult> ConvertFile(ConvertMode mode, const std::filesystem::path& source,
                                         const std::filesystem::path& target,
                                         const std::function<bool()>& confirmOverwrite) {
  if (source.empty()) throw std::runtime_error("no source file chosen");
  if (target.empty()) throw std::runtime_error("no target file chosen");
  std::error_code ec;
  std::ifstream in = OpenFileForReading(source);

  if (std::filesystem::exists(target, ec) && !(confirmOverwrite && confirmOverwrite())) return std::nullopt;
  if (std::filesystem::is_directory(target, ec)) throw std::runtime_error(FileError(target, EISDIR));

  AtomicFileWriter writer(target);
  const ByteSink sink = [&](std::span<const std::uint8_t> bytes) { writer.Write(bytes); };
  ConvertResult result;
  try {
    if (mode == ConvertMode::SysexToMidi) {
      const SysexToMidiResult r = SysexToMidi(in, sink);
      result.messages = r.events;
      result.skipped = r.skipped;
      result.strayBytes = r.strayBytes;
    } else {
      MidiToSysexResult r = MidiToSysex(in, sink);
      result.messages = r.messages;
      result.incomplete = r.incomplete;
      result.skipped = r.skipped;
      result.damage = std::move(r.damage);
    }
  } catch (const std::exception& e) {
    // Reading errors name the source; the writer's own errors already name
    // the target.
    const std::string what = e.what();
    if (what.rfind(target.string() + ":", 0) == 0) throw;
    throw std::runtime_error(source.string() + ": " + what);
  }
  // An empty sound file helps nobody and would replace whatever was there.
  if (mode == ConvertMode::SysexToMidi || result.messages > 0) writer.Commit();
  return result;
}

namespace {

std::string Count(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ConvertReport(ConvertMode mode, const ConvertResult& r) {
  std::string line;
  std::string left;
  auto leave = [&](const std::string& part) { left += (left.empty() ? "" : ", ") + part; };
  if (mode == ConvertMode::SysexToMidi) {
    line = Count(r.messages, "sound", "sounds") + " written";
    if (r.skipped) leave(Count(r.skipped, "message that is no sound dump", "messages that are no sound dumps"));
    if (r.strayBytes) leave(Count(r.strayBytes, "byte outside the messages", "bytes outside the messages"));
  } else {
    line = r.messages ? Count(r.messages, "sound dump", "sound dumps") + " written" : "no sound dump found";
    if (r.incomplete) leave(Count(r.incomplete, "message cut off", "messages cut off"));
    if (r.skipped) leave(Count(r.skipped, "other SysEx message", "other SysEx messages"));
  }
  if (!left.empty()) line += "; left out: " + left;
  if (!r.damage.empty()) line += "; damaged file: " + r.damage;
  return line;
}

}  // namespace tarvix
