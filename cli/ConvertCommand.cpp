// tarvix-cli syx2mid IN.syx OUT.mid [--force]
// tarvix-cli mid2syx IN.mid OUT.syx [--force]
// The two directions of the MIDI file converter; the files are byte for byte
// what the converter dialog writes.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "midi/MidiFileConverter.h"

namespace tarvix::cli {
namespace {

struct ConvertArgs {
  std::string in;
  std::string out;
  bool force = false;
};

void Run(ConvertMode mode, const ConvertArgs& a) {
  std::optional<ConvertResult> r;
  try {
    r = ConvertFile(mode, a.in, a.out, [&] { return a.force; });
  } catch (const std::exception& e) {
    throw CliError(e.what());
  }
  if (!r) throw CliError(a.out + ": file exists (use --force to replace it)");
  if (mode == ConvertMode::SysexToMidi) {
    std::printf("%s: %zu sound%s written\n", a.out.c_str(), r->messages, r->messages == 1 ? "" : "s");
  } else {
    std::printf("%s: %zu SysEx message%s written", a.out.c_str(), r->messages, r->messages == 1 ? "" : "s");
    if (r->incomplete > 0) std::printf(", %zu incomplete left out", r->incomplete);
    std::printf("\n");
  }
}

void Add(CLI::App& app, const char* name, const char* help, const char* inHelp, const char* outHelp, ConvertMode mode) {
  auto args = std::make_shared<ConvertArgs>();
  CLI::App* cmd = app.add_subcommand(name, help);
  cmd->add_option("IN", args->in, inHelp)->required();
  cmd->add_option("OUT", args->out, outHelp)->required();
  cmd->add_flag("--force", args->force, "Replace OUT if it exists");
  cmd->callback([args, mode] { Run(mode, *args); });
}

const CommandRegistrar syx2mid("syx2mid", [](CLI::App& app) {
  Add(app, "syx2mid", "Convert a SysEx sound file to a Standard MIDI file", "SysEx sound file to read",
      "MIDI file to write", ConvertMode::SysexToMidi);
});

const CommandRegistrar mid2syx("mid2syx", [](CLI::App& app) {
  Add(app, "mid2syx", "Extract the SysEx messages of a MIDI file into a SysEx file", "MIDI file to read",
      "SysEx file to write", ConvertMode::MidiToSysex);
});

}  // namespace
}  // namespace tarvix::cli
