// tarvix-cli list FILE.syx [--json]: one entry per whole record, in file order.
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "library/AtomicFile.h"
#include "library/SoundFile.h"

namespace tarvix::cli {
namespace {

struct ListOptions {
  std::string file;
  bool json = false;
};

void RunList(const ListOptions& o) {
  std::ifstream in(o.file, std::ios::binary);
  if (!in || std::filesystem::is_directory(o.file)) throw CliError(FileError(o.file, errno ? errno : ENOENT));
  nlohmann::json entries = nlohmann::json::array();
  SoundData s;
  // Stream the records so a file of any size lists in constant memory
  // (apart from the JSON array itself).
  for (int index = 0;; ++index) {
    in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize));
    if (in.gcount() != static_cast<std::streamsize>(kSoundSize)) break;
    const int bank = s[offs::kBank], program = s[offs::kProgram];
    const std::string label = bank <= 7 && program <= 127 ? SlotLabel(bank * kProgramsPerBank + program) : "";
    const std::string name = Latin1ToUtf8(GetSoundName(s));
    const std::uint8_t category = GetCategory(s);
    if (o.json) {
      entries.push_back({{"index", index},
                         {"bank", bank},
                         {"program", program},
                         {"label", label},
                         {"name", name},
                         {"category", category},
                         {"categoryName", CategoryName(category)},
                         {"empty", category == kEmptyCategory}});
    } else {
      std::printf("%5d  %-4s  %-16s  %-4s%s\n", index, label.empty() ? "-" : label.c_str(), name.c_str(),
                  CategoryName(category).c_str(), category == kEmptyCategory ? "  (empty)" : "");
    }
  }
  if (o.json) std::printf("%s\n", entries.dump(2).c_str());
}

const CommandRegistrar kRegistrar("list", [](CLI::App& app) {
  auto opts = std::make_shared<ListOptions>();
  CLI::App* cmd = app.add_subcommand("list", "List the sounds of a SysEx file");
  cmd->add_option("FILE", opts->file, "SysEx sound file")->required();
  cmd->add_flag("--json", opts->json, "Print a JSON array");
  cmd->callback([opts] { RunList(*opts); });
});

}  // namespace
}  // namespace tarvix::cli
