// tarvix-cli: the librarian's file operations without a window, for
// musicians who script and for tests.
#include <cstdio>
#include <algorithm>
#include <exception>

#include "cli/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Tarvix command-line tool: list, sort and convert sound files"};
  app.require_subcommand(1);
  auto commands = tarvix::cli::RegisteredCommands();
  std::sort(commands.begin(), commands.end(), [](auto& a, auto& b) { return a.first < b.first; });
  for (auto& [name, add] : commands) add(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "tarvix-cli: %s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvix-cli: %s\n", e.what());
    return 1;
  }
  return 0;
}
