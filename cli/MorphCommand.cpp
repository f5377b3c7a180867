// tarvix-cli morph: the blend the morph window would save, without a window.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "library/AtomicFile.h"
#include "library/SoundFile.h"
#include "tools/Morph.h"

namespace tarvix::cli {
namespace {

struct MorphOptions {
  std::string fileA, fileB, out;
  int percent = 0;
  int indexA = 0, indexB = 0;
  bool withDetune = false, force = false;
};

// Record `index` of a SysEx sound file, as it would sit in a bank slot after
// loading the file: a category above 12 reads as Init, the checksum as 7F.
SoundData ReadRecord(const std::string& file, int index) {
  std::ifstream in = OpenFileForReading(file);
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) throw CliError(file + ": " + ec.message());
  const auto count = static_cast<long long>(size / kSoundSize);
  if (index < 0 || index >= count)
    throw CliError(file + ": index " + std::to_string(index) + " outside the file (" + std::to_string(count) + " sounds)");
  in.seekg(static_cast<std::streamoff>(index) * static_cast<std::streamoff>(kSoundSize));
  SoundData s;
  if (!in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize)))
    throw CliError(file + ": cannot read sound " + std::to_string(index));
  // Blending anything else would write a record the instrument rejects.
  if (!IsSoundDump(s))
    throw CliError(file + ": record " + std::to_string(index) + " is not a sound dump (F0 3E 13 .. 10 .. F7)");
  if (s[offs::kCategory] > 12) s[offs::kCategory] = 0;
  s[offs::kChecksum] = 0x7F;
  return s;
}

void Run(const MorphOptions& o) {
  if (o.percent < 0 || o.percent > 100) throw CliError("PERCENT must lie in 0..100, not " + std::to_string(o.percent));
  std::error_code ec;
  if (!o.force && std::filesystem::exists(o.out, ec)) throw CliError(o.out + ": exists; use --force to replace it");
  const SoundData a = ReadRecord(o.fileA, o.indexA);
  const SoundData b = ReadRecord(o.fileB, o.indexB);
  const SoundData result = MorphedSound(a, b, o.percent, o.withDetune);
  WriteFileAtomically(o.out, std::span<const std::uint8_t>(result.bytes));
}

const CommandRegistrar kMorphCommand("morph", [](CLI::App& app) {
  auto opts = std::make_shared<MorphOptions>();
  auto* cmd = app.add_subcommand("morph", "Blend two sounds as the morph window saves them");
  cmd->add_option("A", opts->fileA, "SysEx file of the first sound")->required();
  cmd->add_option("B", opts->fileB, "SysEx file of the second sound")->required();
  cmd->add_option("PERCENT", opts->percent, "Blend position, 0 (first sound) to 100 (second sound)")->required();
  cmd->add_option("OUT", opts->out, "File to write the one blended sound to")->required();
  cmd->add_option("--a-index", opts->indexA, "Record of A to use, counted from 0 (default 0)");
  cmd->add_option("--b-index", opts->indexB, "Record of B to use, counted from 0 (default 0)");
  cmd->add_flag("--with-detune", opts->withDetune, "Also blend semitones, detunes, bandwidths and keytracks");
  cmd->add_flag("--force", opts->force, "Replace OUT if it exists");
  cmd->callback([opts] { Run(*opts); });
});

}  // namespace
}  // namespace tarvix::cli
