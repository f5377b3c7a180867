#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library/Log.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

TEST(FileLog, AFailureIsReportedOnceAndNeverThrows) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "log");  // a folder where the file should be: never writable
  FileLog log(dir / "log");
  std::vector<std::string> memo;
  log.AddListener([&](const std::string& line) { memo.push_back(line); });
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(log.LogMessage("line " + std::to_string(i)));
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(memo.size(), 4u);  // the three lines and one note
  EXPECT_EQ(memo[0], "line 0");
  EXPECT_EQ(memo[1], "Cannot write the log file " + (dir / "log").string() +
                         ": Is a directory; log lines are shown in the window only");
  EXPECT_EQ(memo[3], "line 2");
  EXPECT_EQ(err, "tarvix: " + memo[1] + "\n");

  // Writable again: lines reach the file; a new failure is reported anew.
  std::filesystem::remove(dir / "log");
  log.LogMessage("back");
  std::filesystem::remove(dir / "log");
  std::filesystem::create_directory(dir / "log");
  testing::internal::CaptureStderr();
  log.LogMessage("lost");
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
  EXPECT_EQ(memo.size(), 7u);

  // A FIFO nobody reads in the file's place does not block the program.
  std::filesystem::remove(dir / "log");
  log.LogMessage("ok");
  std::filesystem::remove(dir / "log");
  ASSERT_EQ(::mkfifo((dir / "log").c_str(), 0600), 0);
  alarm(20);
  testing::internal::CaptureStderr();
  log.LogMessage("not stuck");
  testing::internal::GetCapturedStderr();
  alarm(0);
  EXPECT_EQ(memo.back(), "Cannot write the log file " + (dir / "log").string() +
                             ": No such device or address; log lines are shown in the window only");
}

}  // namespace
}  // namespace tarvix
