// tarvix-cli ports: the MIDI devices as the program numbers them.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/MidiSession.h"

namespace tarvix::cli {
namespace {

struct PortsOptions {
  bool json = false, jack = false, alsa = false;
};

void Run(const PortsOptions& o) {
  MidiSession s(ApiFromFlags(o.jack, o.alsa), false);
  s.service->EnumerateDevices();
  if (o.json) {
    auto list = [](const std::vector<TMidiDeviceList>& l) {
      nlohmann::json a = nlohmann::json::array();
      for (const auto& d : l) a.push_back({{"number", d.number}, {"name", Latin1ToUtf8(d.name)}});
      return a;
    };
    nlohmann::json j{{"api", s.driver ? s.driver->ApiName() : "none"},
                     {"inputs", list(s.service->InputDevices)},
                     {"outputs", list(s.service->OutputDevices)}};
    std::cout << j.dump(2) << "\n";
    return;
  }
  std::cout << "MIDI service: " << (s.driver ? s.driver->ApiName() : "none") << "\nInputs:\n";
  for (const auto& d : s.service->InputDevices) std::cout << "  " << d.number << "  " << d.name << "\n";
  std::cout << "Outputs:\n";
  for (const auto& d : s.service->OutputDevices) std::cout << "  " << d.number << "  " << d.name << "\n";
}

const CommandRegistrar kPortsCommand("ports", [](CLI::App& app) {
  auto o = std::make_shared<PortsOptions>();
  auto* cmd = app.add_subcommand("ports", "List the MIDI input and output devices");
  cmd->add_flag("--json", o->json, "Print JSON");
  cmd->add_flag("--jack", o->jack, "Use JACK");
  cmd->add_flag("--alsa", o->alsa, "Use ALSA");
  cmd->callback([o] { Run(*o); });
});

}  // namespace
}  // namespace tarvix::cli
