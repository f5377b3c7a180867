#pragma once
// Runs a program of the build and captures its exit status, stdout and stderr.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

namespace tarvix::test {

struct CommandResult {
  int status = -1;
  std::string out, err;
};

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// `exe` names another copy of the program, for tests that put files beside it.
inline CommandResult RunCli(const std::string& args, const std::filesystem::path& exe = BuildDir() / "tarvix-cli") {
  TempDir dir;
  const auto out = dir / "out", err = dir / "err";
  const std::string cmd = Quote(exe.string()) + " " + args + " >" + Quote(out.string()) +
                          " 2>" + Quote(err.string()) + " </dev/null";
  CommandResult r;
  const int st = std::system(cmd.c_str());
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  const auto o = ReadAll(out), e = ReadAll(err);
  r.out.assign(o.begin(), o.end());
  r.err.assign(e.begin(), e.end());
  return r;
}

}  // namespace tarvix::test
