#pragma once
// Each sub-command of tarvix-cli registers itself on the application here.
// Handlers report failures by throwing CliError (or any std::exception): main
// prints one line on stderr and exits with status 1.

#include <CLI/CLI.hpp>
#include <stdexcept>
#include <string>

namespace tarvix::cli {

struct CliError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// One line per sub-command, defined in <Name>Command.cpp.

}  // namespace tarvix::cli
