// tarvix-cli syx2mid IN.syx OUT.mid [--force]
// tarvix-cli mid2syx IN.mid OUT.syx [--force]
// The two directions of the MIDI file converter; the files are byte for byte
// what the converter dialog writes, and the one-line report is the one it
// shows. mid2syx fails (exit 1) only when no sound dump could be recovered.
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
  const std::string report = ConvertReport(mode, *r);
  // A file that gave back nothing is a failure; one that gave back some
  // dumps is a success with its losses told.
  if (mode == ConvertMode::MidiToSysex && r->messages == 0) throw CliError(a.in + ": " + report);
  std::printf("%s: %s\n", a.out.c_str(), report.c_str());
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
  Add(app, "mid2syx", "Extract the sound dumps of a MIDI file into a SysEx file", "MIDI file to read",
      "SysEx file to write", ConvertMode::MidiToSysex);
});

}  // namespace
}  // namespace tarvix::cli
