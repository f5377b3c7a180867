#include "cli/MidiSession.h"

#include <cstdio>

#include "cli/Commands.h"

namespace tarvix::cli {

RtMidiDriver::Api ApiFromFlags(bool jack, bool alsa) {
  if (jack && alsa) throw CliError("--jack and --alsa exclude each other");
  return jack ? RtMidiDriver::Api::Jack : alsa ? RtMidiDriver::Api::Alsa : RtMidiDriver::Api::Auto;
}

void TraceLine(std::chrono::steady_clock::time_point start, bool out, std::span<const std::uint8_t> bytes) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  std::string line = std::to_string(ms) + (out ? " OUT" : " IN");
  static const char* hex = "0123456789ABCDEF";
  for (const std::uint8_t b : bytes) {
    line += ' ';
    line += hex[b >> 4];
    line += hex[b & 15];
  }
  line += '\n';
  std::fputs(line.c_str(), stderr);  // one call per line: lines from two threads never mix
}

MidiSession::MidiSession(RtMidiDriver::Api api, bool trace, bool usePlatform) {
  if (usePlatform) {
    try {
      driver = std::make_unique<RtMidiDriver>(api, "Tarvix");
    } catch (const MidiError& e) {
      if (api != RtMidiDriver::Api::Auto) throw CliError(e.what());
      // Without any MIDI service the built-in instrument still works.
    }
  }
  service = std::make_unique<MidiService>(driver.get(), instrument, loop, log);
  if (trace) service->SetTrace([start = start_](bool out, std::span<const std::uint8_t> b) { TraceLine(start, out, b); });
  dispatcher = std::make_unique<ReceiveDispatcher>(blofeld, *service, loop, ui, log);
  service->SetInstrumentHandler(dispatcher.get());
}

MidiSession::~MidiSession() {
  *alive_ = false;
  if (service) {
    service->CloseInputs();
    service->CloseOutput();
  }
}

void MidiSession::Open(const std::string& port, bool needInput) {
  service->EnumerateDevices();
  auto& p = service->Ports;
  if (port == "virtual") {
    p.inNumber = p.outNumber = 0;
  } else if (port.empty()) {
    p.inNumber = p.outNumber = -1;
    service->MatchDefaultDevices();
    if ((needInput && p.inNumber < 0) || p.outNumber < 0)
      throw CliError("No Blofeld found among the MIDI ports; name one with --port (see tarvix-cli ports) or use --port virtual");
  } else {
    auto find = [&](const std::vector<TMidiDeviceList>& list, bool required) {
      for (const auto& d : list)
        if (d.number > 0 && d.name.find(port) != std::string::npos) return d.number;
      if (!required) return -1;
      throw CliError("No MIDI port named \"" + port + "\" (see tarvix-cli ports)");
    };
    p.inNumber = find(service->InputDevices, needInput);
    p.outNumber = find(service->OutputDevices, true);
  }
  if (!service->OpenOutput()) throw CliError("Cannot open the MIDI output: " + log.lines.back());
  if (!needInput && p.inNumber < 0) return;
  service->OpenInputs();
  if (needInput && !service->InstrumentInputOpen()) throw CliError("Cannot open the MIDI input: " + log.lines.back());
}

void MidiSession::StartDialogTimer() {
  auto tick = std::make_shared<std::function<void()>>();
  *tick = [this, weak = std::weak_ptr(tick), alive = std::weak_ptr(alive_)] {
    if (!alive.lock()) return;
    dispatcher->DialogTick();
    if (auto self = weak.lock()) loop.runAfter(receiver_text::kTickMs, [self] { (*self)(); });
  };
  loop.runAfter(receiver_text::kTickMs, [tick] { (*tick)(); });
}

}  // namespace tarvix::cli
