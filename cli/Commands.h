#pragma once
// Each sub-command of tarvix-cli lives in its own <Name>Command.cpp and
// registers itself with a static CommandRegistrar, so commands are added
// without touching a shared list. Handlers report failures by throwing
// CliError (or any std::exception): main prints one line on stderr and exits
// with status 1.

#include <CLI/CLI.hpp>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvix::cli {

struct CliError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using CommandFactory = std::function<void(CLI::App&)>;

inline std::vector<std::pair<std::string, CommandFactory>>& RegisteredCommands() {
  static std::vector<std::pair<std::string, CommandFactory>> commands;
  return commands;
}

struct CommandRegistrar {
  CommandRegistrar(std::string name, CommandFactory factory) {
    RegisteredCommands().emplace_back(std::move(name), std::move(factory));
  }
};

}  // namespace tarvix::cli
