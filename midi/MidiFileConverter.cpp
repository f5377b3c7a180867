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
      result.messages = SysexToMidi(in, sink);
    } else {
      const MidiToSysexResult r = MidiToSysex(in, sink);
      result.messages = r.messages;
      result.incomplete = r.incomplete;
    }
  } catch (const std::exception& e) {
    // Reading errors name the source; the writer's own errors already name
    // the target.
    const std::string what = e.what();
    if (what.rfind(target.string() + ":", 0) == 0) throw;
    throw std::runtime_error(source.string() + ": " + what);
  }
  writer.Commit();
  return result;
}

}  // namespace tarvix
