#pragma once
// main() for GUI test programs: a QApplication on the offscreen platform
// with a private runtime folder, then all GoogleTest cases.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "tests/support/TempDir.h"

namespace tarvix::test {

inline int RunQtTests(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TempDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace tarvix::test
