#pragma once
// What the command tests share: command lines with quoted paths, and the shape of every failure (status 1, one line on
// stderr saying why).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/RunCommand.h"

namespace tarvix::test {

template <class... Paths>
std::string Cmd(const std::string& command, const Paths&... paths) {
  return (command + ... + (" " + Quote(std::filesystem::path(paths).string())));
}

inline void ExpectFailure(const CommandResult& r, const std::string& reason, const std::string& what = "") {
  EXPECT_EQ(r.status, 1) << what;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
  EXPECT_NE(r.err.find(reason), std::string::npos) << what << ": " << r.err;
}

}  // namespace tarvix::test
