// tarvix-cli backup: read banks from the instrument into a SysEx file, with
// the same request chain as the program's "Read All". Sounds that never came
// intact are named and left out; the good ones are written, and the command
// then fails, so a script sees the backup is incomplete.
#include <algorithm>
#include <filesystem>
#include <set>

#include "cli/Commands.h"
#include "cli/MidiSession.h"
#include "library/AtomicFile.h"

namespace tarvix::cli {
namespace {

struct BackupOptions {
  std::string out, port, banks = "A-H";
  int delay = 250, timeout = 5000, deviceId = 0;
  bool trace = false, force = false, jack = false, alsa = false, paced = false;
};

std::pair<int, int> ParseBanks(const std::string& text) {
  auto bank = [&](char c) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c < 'A' || c > 'H') throw CliError("--banks " + text + ": banks are A to H, e.g. A-H or C");
    return c - 'A';
  };
  if (text.size() == 1) return {bank(text[0]), bank(text[0])};
  if (text.size() == 3 && text[1] == '-') {
    const int a = bank(text[0]), b = bank(text[2]);
    if (a > b) throw CliError("--banks " + text + ": the first bank comes after the last");
    return {a, b};
  }
  throw CliError("--banks " + text + ": expected a bank (C) or a range (A-H)");
}

void Run(const BackupOptions& o) {
  const auto [first, last] = ParseBanks(o.banks);
  if (!o.force && std::filesystem::exists(o.out)) throw CliError(o.out + ": the file exists; use --force to replace it");
  if (o.deviceId < 0 || o.deviceId > 127) throw CliError("--device-id must be 0..127");

  MidiSession s(ApiFromFlags(o.jack, o.alsa), o.trace, o.port != "virtual");
  s.Open(o.port);
  auto& d = *s.dispatcher;
  d.MidiDelayMs = o.delay;
  d.FastRead = !o.paced;
  d.DeviceId = static_cast<std::uint8_t>(o.deviceId);

  std::int64_t lastProgress = s.loop.nowMs();
  d.OnSlotChanged = [&](int) { lastProgress = s.loop.nowMs(); };
  // The dispatcher asks again for overdue and damaged replies by itself and
  // ends when the instrument stops answering; the timeout is a last guard
  // that presses "&Close" when nothing arrives at all.
  std::function<void()> watchdog = [&] {
    if (!s.ui.modal) return;
    if (s.loop.nowMs() - lastProgress > o.timeout + o.delay) {
      d.DialogCloseClicked();
      return;
    }
    s.loop.runAfter(100, watchdog);
  };
  s.StartDialogTimer();
  d.ReadBanks(first, last);
  s.loop.runAfter(100, watchdog);
  s.loop.RunUntil([&] { return !s.ui.modal; });

  const std::set<int> missing(d.Missing.begin(), d.Missing.end());
  const int total = (last - first + 1) * kProgramsPerBank;
  if (static_cast<int>(missing.size()) == total) throw CliError(o.out + ": no sound arrived; nothing written");
  AtomicFileWriter writer(o.out);
  for (int i = first * kProgramsPerBank; i < (last + 1) * kProgramsPerBank; ++i)
    if (!missing.count(i)) writer.Write(std::span<const std::uint8_t>(s.blofeld.Sound(i).bytes));
  writer.Commit();
  if (!missing.empty()) {
    std::string list;
    for (const int i : missing) list += (list.empty() ? "" : ", ") + SlotLabel(i);
    throw CliError(o.out + ": wrote " + std::to_string(total - static_cast<int>(missing.size())) + " of " +
                   std::to_string(total) + " sounds; missing " + std::to_string(missing.size()) + ": " + list);
  }
}

const CommandRegistrar kBackupCommand("backup", [](CLI::App& app) {
  auto o = std::make_shared<BackupOptions>();
  auto* cmd = app.add_subcommand("backup", "Read sound banks from the instrument into a SysEx file");
  cmd->add_option("OUT", o->out, "SysEx file to write")->required();
  cmd->add_option("--port", o->port, "MIDI port name (part of it), or \"virtual\" for the built-in instrument");
  cmd->add_option("--banks", o->banks, "Banks to read: A-H, C, B-D")->capture_default_str();
  // Without --delay the next request goes out as soon as a reply is stored;
  // with it, requests are paced by it as they always were.
  auto* delay = cmd->add_option("--delay", o->delay, "Pause between requests in ms (default: ask as soon as a reply is stored)")
                    ->check(CLI::Range(0, 65535));
  cmd->add_option("--timeout", o->timeout, "Give up after this many ms without a reply")->capture_default_str()->check(CLI::Range(1, 3600000));
  cmd->add_option("--device-id", o->deviceId, "The instrument's device id (127 = broadcast)")->capture_default_str();
  cmd->add_flag("--trace", o->trace, "Trace every MIDI message on stderr");
  cmd->add_flag("--force", o->force, "Replace OUT if it exists");
  cmd->add_flag("--jack", o->jack, "Use JACK");
  cmd->add_flag("--alsa", o->alsa, "Use ALSA");
  cmd->callback([o, delay] {
    o->paced = delay->count() > 0;
    Run(*o);
  });
});

}  // namespace
}  // namespace tarvix::cli
