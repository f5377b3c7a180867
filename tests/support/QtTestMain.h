#pragma once
// main() for GoogleTest programs that test windows: a private runtime folder,
// the offscreen platform unless one is set, and one QApplication.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarvix::test {

inline int RunQtTests(int argc, char** argv) {
  std::string runtime = (std::filesystem::temp_directory_path() / "tarvix-xdg-XXXXXX").string();
  if (::mkdtemp(runtime.data())) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);  // mkdtemp makes it 0700
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(runtime, ec);
  return rc;
}

}  // namespace tarvix::test
