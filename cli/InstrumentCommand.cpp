// tarvix-cli instrument: the built-in instrument on real MIDI ports, so other
// programs (and the end-to-end tests) talk to it across a real transport.
// Runs until SIGINT or SIGTERM and then closes its ports cleanly: a client
// that is killed stalls a JACK server's shutdown.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>

#include "cli/Commands.h"
#include "cli/MidiSession.h"
#include "midi/InstrumentPorts.h"

namespace tarvix::cli {
namespace {

struct InstrumentOptions {
  std::string name = "Tarvix Instrument";
  int latency = VirtualInstrument::kDefaultLatencyMs;
  bool jack = false, alsa = false, wireSpeed = false, trace = false;
  std::vector<std::string> faults;
};

// "KIND@SLOT" damages the next reply for SLOT (A001 or 0..1023), "KIND@SLOT!"
// every reply for it; what a misbehaving instrument or a noisy line does.
void InjectFault(VirtualInstrument& vi, const std::string& text) {
  using F = VirtualInstrument::FaultKind;
  static const std::pair<const char*, F> kKinds[] = {
      {"drop", F::Drop},         {"delay", F::Delay},       {"truncate", F::Truncate},   {"corrupt", F::Corrupt},
      {"corrupt7f", F::CorruptAs7F}, {"junk", F::Junk},     {"split", F::Split},         {"cutoff", F::CutOff},
      {"interleave", F::Interleave}, {"wrongslot", F::WrongSlot}, {"editbuffer", F::EditBuffer},
      {"duplicate", F::Duplicate},   {"flood", F::Flood}};
  const auto at = text.find('@');
  if (at == std::string::npos) throw CliError("--fault " + text + ": expected KIND@SLOT, e.g. drop@A005");
  std::string slotText = text.substr(at + 1);
  const bool always = !slotText.empty() && slotText.back() == '!';
  if (always) slotText.pop_back();
  int slot = -1;
  if (slotText.size() == 4 && slotText[0] >= 'A' && slotText[0] <= 'H') {
    const int program = std::atoi(slotText.c_str() + 1);
    if (program >= 1 && program <= 128) slot = (slotText[0] - 'A') * kProgramsPerBank + program - 1;
  } else if (!slotText.empty() && slotText.find_first_not_of("0123456789") == std::string::npos) {
    slot = std::atoi(slotText.c_str());
  }
  if (slot < 0 || slot >= kSlotCount) throw CliError("--fault " + text + ": the slot is A001..H128 or 0..1023");
  const std::string kind = text.substr(0, at);
  for (const auto& [name, k] : kKinds)
    if (kind == name) {
      vi.InjectFault(slot, {k, 300, 100, !always});
      return;
    }
  throw CliError("--fault " + text + ": unknown kind \"" + kind + "\"");
}

void Run(const InstrumentOptions& o) {
  // Block the signals in every thread the ports start, and wait for them here.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<RtMidiDriver> driver;
  try {
    driver = std::make_unique<RtMidiDriver>(ApiFromFlags(o.jack, o.alsa), o.name);
  } catch (const MidiError& e) {
    throw CliError(e.what());
  }
  VirtualInstrument vi;
  vi.SetLatencyMs(o.latency);
  vi.SetWireSpeed(o.wireSpeed);
  for (const std::string& f : o.faults) InjectFault(vi, f);
  InstrumentPorts::Trace trace;
  if (o.trace) trace = [start](bool out, std::span<const std::uint8_t> m) { TraceLine(start, out, m); };
  auto ports = std::make_unique<InstrumentPorts>(*driver, vi, trace);
  std::fprintf(stderr, "%s ready on %s as \"%s\" (ports in, out)\n", VirtualInstrument::kDeviceName,
               driver->ApiName().c_str(), o.name.c_str());
  std::fflush(stderr);

  int sig = 0;
  sigwait(&signals, &sig);
  ports.reset();
  std::fprintf(stderr, "Stopped.\n");
}

const CommandRegistrar kInstrumentCommand("instrument", [](CLI::App& app) {
  auto o = std::make_shared<InstrumentOptions>();
  auto* cmd = app.add_subcommand("instrument", "Run the built-in virtual instrument on real MIDI ports until stopped");
  cmd->add_flag("--jack", o->jack, "Use JACK");
  cmd->add_flag("--alsa", o->alsa, "Use ALSA");
  cmd->add_option("--name", o->name, "Client name of the ports")->capture_default_str();
  cmd->add_option("--latency", o->latency, "Reply latency in ms")->capture_default_str()->check(CLI::Range(0, 60000));
  cmd->add_flag("--wire-speed", o->wireSpeed, "Send replies at MIDI cable speed (3125 bytes/s)");
  cmd->add_flag("--trace", o->trace, "Trace every MIDI message on stderr");
  cmd->add_option("--fault", o->faults,
                  "KIND@SLOT (next reply) or KIND@SLOT! (every reply); KIND: drop delay truncate corrupt corrupt7f "
                  "junk split cutoff interleave wrongslot editbuffer duplicate flood");
  cmd->callback([o] { Run(*o); });
});

}  // namespace
}  // namespace tarvix::cli
