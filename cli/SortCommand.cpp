// tarvix-cli sort IN.syx OUT.syx --by name|category: what the program does
// when a file is loaded into the Blofeld banks at A001, the loaded rows are
// selected and ordered, and the selection is saved.
#include <filesystem>

#include "cli/Commands.h"
#include "library/BankOperations.h"
#include "library/SortFind.h"
#include "library/SoundFile.h"

namespace tarvix::cli {
namespace {

struct SortOptions {
  std::string in, out, by;
  int device = 0;
  bool force = false;
};

// Answers the one question a sort can ask: with fewer than two loaded sounds
// nothing is to be ordered, so "Sort all?" is answered No.
class NoPrompter : public Prompter {
 public:
  Answer Ask(const std::string&, Buttons) override { return Answer::No; }
  std::optional<std::string> OpenFileName(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileRequest&) override { return std::nullopt; }
};

void RunSort(const SortOptions& o) {
  std::error_code ec;
  if (!o.force && std::filesystem::exists(o.out, ec))
    throw CliError(o.out + ": file exists (use --force to replace it)");
  BankSet set(BankSetKind::Blofeld);
  const int n = CountSoundsInFile(o.in);
  // The sort works on the banks: a bigger file would wrap and lose sounds.
  if (n > kSlotCount)
    throw CliError(o.in + ": holds " + std::to_string(n) + " sounds, more than the " + std::to_string(kSlotCount) +
                   " the banks hold; nothing written");
  LoadSoundFile(set, o.in, 0);
  const int loaded = n;
  for (int i = 0; i < loaded; ++i) set.Select(i);
  NoPrompter prompter;
  SortBankSet(set, set, o.by == "name" ? SortKind::ByName : SortKind::ByCategoryAndName,
              static_cast<std::uint8_t>(o.device), prompter);
  std::vector<const SoundData*> sounds;
  for (int i = 0; i < loaded; ++i)
    if (!IsEmptySlot(set.Sound(i))) sounds.push_back(&set.Sound(i));
  WriteSoundRecords(o.out, sounds);
}

const CommandRegistrar kSortCommand("sort", [](CLI::App& app) {
  auto opts = std::make_shared<SortOptions>();
  CLI::App* cmd = app.add_subcommand("sort", "Order the sounds of a SysEx file by name or by category and name");
  cmd->add_option("IN", opts->in, "SysEx sound file to read")->required();
  cmd->add_option("OUT", opts->out, "SysEx sound file to write")->required();
  cmd->add_option("--by", opts->by, "name or category")->required()->check(CLI::IsMember({"name", "category"}));
  cmd->add_option("--device", opts->device, "device id stamped into the sounds (0..127)")->check(CLI::Range(0, 127));
  cmd->add_flag("--force", opts->force, "Replace OUT if it exists");
  cmd->callback([opts] { RunSort(*opts); });
});

}  // namespace
}  // namespace tarvix::cli
