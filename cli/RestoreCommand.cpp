// tarvix-cli restore: send a SysEx file to the instrument message by
// message, paced like the program's "Send SysEx from File".
#include <filesystem>

#include "cli/Commands.h"
#include "cli/MidiSession.h"
#include "library/AtomicFile.h"

namespace tarvix::cli {
namespace {

struct RestoreOptions {
  std::string in, port;
  int delay = 250;
  bool trace = false, jack = false, alsa = false;
};

void Run(const RestoreOptions& o) {
  // A folder, a FIFO or a device is refused with the system's reason before
  // any port is opened.
  try {
    CheckReadableFile(o.in);
  } catch (const std::exception& e) {
    throw CliError(e.what());
  }
  MidiSession s(ApiFromFlags(o.jack, o.alsa), o.trace, o.port != "virtual");
  // Sending needs no input: a one-way interface or a monitor will do.
  s.Open(o.port, false);
  s.dispatcher->MidiDelayMs = o.delay;
  bool done = false;
  s.dispatcher->SendSysExFile(o.in, [&] { done = true; });
  s.loop.RunUntil([&] { return done; });
  // Give the service time to put the last message on the wire before the
  // port closes.
  s.loop.RunUntil([] { return false; }, std::max(o.delay, 200));
  const auto& d = *s.dispatcher;
  const std::string result = "Sent " + std::to_string(d.SentCount) + " of " + std::to_string(d.SendTotal) + " messages";
  if (d.SentCount != d.SendTotal) throw CliError(o.in + ": " + result + "; the MIDI port did not take the rest");
  std::fprintf(stderr, "%s\n", result.c_str());
}

const CommandRegistrar kRestoreCommand("restore", [](CLI::App& app) {
  auto o = std::make_shared<RestoreOptions>();
  auto* cmd = app.add_subcommand("restore", "Send a SysEx file to the instrument");
  cmd->add_option("IN", o->in, "SysEx file to send")->required();
  cmd->add_option("--port", o->port, "MIDI port name (part of it), or \"virtual\" for the built-in instrument");
  cmd->add_option("--delay", o->delay, "Pause between messages in ms")->capture_default_str()->check(CLI::Range(0, 65535));
  cmd->add_flag("--trace", o->trace, "Trace every MIDI message on stderr");
  cmd->add_flag("--jack", o->jack, "Use JACK");
  cmd->add_flag("--alsa", o->alsa, "Use ALSA");
  cmd->callback([o] { Run(*o); });
});

}  // namespace
}  // namespace tarvix::cli
