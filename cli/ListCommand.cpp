// tarvix-cli list FILE.syx [--json]: one entry per whole record, in file order.
#include <cstdio>
#include <cstring>
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
  std::ifstream in = OpenFileForReading(o.file);
  SoundData s;
  // Records are read and printed one at a time, so a file of any size lists
  // in constant memory; the JSON array is written element by element in the
  // layout a two-space indented dump would have.
  bool first = true;
  for (long long index = 0;; ++index) {
    in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize));
    if (in.gcount() != static_cast<std::streamsize>(kSoundSize)) break;
    const int bank = s[offs::kBank], program = s[offs::kProgram];
    const std::string label = bank <= 7 && program <= 127 ? SlotLabel(bank * kProgramsPerBank + program) : "";
    const std::string name = Latin1ToUtf8(GetSoundName(s));
    const std::uint8_t category = GetCategory(s);
    if (o.json) {
      const nlohmann::json entry = {{"index", index},
                                    {"bank", bank},
                                    {"program", program},
                                    {"label", label},
                                    {"name", name},
                                    {"category", category},
                                    {"categoryName", CategoryName(category)},
                                    {"empty", category == kEmptyCategory}};
      std::string text = entry.dump(2);
      // Indent the element one level; strings carry no raw line breaks.
      for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3))
        text.insert(at + 1, "  ");
      std::fputs(first ? "[\n  " : ",\n  ", stdout);
      std::fputs(text.c_str(), stdout);
      first = false;
    } else {
      std::printf("%5lld  %-4s  %-16s  %-4s%s\n", index, label.empty() ? "-" : label.c_str(), name.c_str(),
                  CategoryName(category).c_str(), category == kEmptyCategory ? "  (empty)" : "");
    }
  }
  if (o.json) std::fputs(first ? "[]\n" : "\n]\n", stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw CliError(std::string("standard output: ") + std::strerror(errno));
}

const CommandRegistrar kListCommand("list", [](CLI::App& app) {
  auto opts = std::make_shared<ListOptions>();
  CLI::App* cmd = app.add_subcommand("list", "List the sounds of a SysEx file");
  cmd->add_option("FILE", opts->file, "SysEx sound file")->required();
  cmd->add_flag("--json", opts->json, "Print a JSON array");
  cmd->callback([opts] { RunList(*opts); });
});

}  // namespace
}  // namespace tarvix::cli
