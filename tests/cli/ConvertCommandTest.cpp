#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <sys/wait.h>
#include <string>

#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

struct CliRun {
  int status;
  std::string output;
};

// Runs tarvix-cli with the arguments, stdout and stderr together.
CliRun Cli(const std::string& args) {
  const std::string cmd = (test::BuildDir() / "tarvix-cli").string() + " " + args + " 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return {-1, ""};
  std::string out;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  const int rc = ::pclose(p);
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

std::string Q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

std::vector<std::uint8_t> Sounds(int n) {
  std::vector<std::uint8_t> all;
  for (int k = 0; k < n; ++k) {
    std::vector<std::uint8_t> d(392);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>((i * 7 + k) & 0x7F);
    d.front() = 0xF0;
    d[1] = 0x3E;  // a sound dump of the instrument
    d[2] = 0x13;
    d[4] = 0x10;
    d.back() = 0xF7;
    all.insert(all.end(), d.begin(), d.end());
  }
  return all;
}

TEST(ConvertCommand, RoundTripsAndNeverReplacesWithoutForce) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx";
  const auto mid = dir / "bank.mid";
  const auto back = dir / "back.syx";
  const auto sounds = Sounds(68);
  test::WriteAll(syx, sounds);

  CliRun r = Cli("syx2mid " + Q(syx) + " " + Q(mid));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("68 sounds written"), std::string::npos) << r.output;
  EXPECT_EQ(test::ReadAll(mid).size(), 22u + 68u * 395u + 4u);

  r = Cli("mid2syx " + Q(mid) + " " + Q(back));
  EXPECT_EQ(r.status, 0) << r.output;
  auto expected = sounds;
  for (int k = 0; k < 68; ++k) expected[392 * k + 390] = 0x7F;
  EXPECT_EQ(test::ReadAll(back), expected);

  // An existing output stays as it is unless --force is given.
  test::WriteAll(back, {1, 2, 3});
  r = Cli("mid2syx " + Q(mid) + " " + Q(back));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find(back.string()), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("--force"), std::string::npos) << r.output;
  EXPECT_EQ(test::ReadAll(back), (std::vector<std::uint8_t>{1, 2, 3}));
  r = Cli("mid2syx --force " + Q(mid) + " " + Q(back));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(test::ReadAll(back), expected);

  // An unreadable input: one line naming it, nothing written.
  r = Cli("syx2mid " + Q(dir / "missing.syx") + " " + Q(dir / "x.mid"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("missing.syx"), std::string::npos) << r.output;
  EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mid"));
}

TEST(ConvertCommand, Mid2SyxRecoversWhatItCanAndFailsOnlyWhenNothingIsLeft) {
  test::TempDir dir;
  test::WriteAll(dir / "bank.syx", Sounds(3));
  ASSERT_EQ(Cli("syx2mid " + Q(dir / "bank.syx") + " " + Q(dir / "bank.mid")).status, 0);
  auto midi = test::ReadAll(dir / "bank.mid");
  // The last dump cut off: two come back, exit 0, one line telling what was lost.
  test::WriteAll(dir / "cut.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 22 + 2 * 395 + 100));
  CliRun r = Cli("mid2syx " + Q(dir / "cut.mid") + " " + Q(dir / "cut.syx"));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, (dir / "cut.syx").string() +
                          ": 2 sound dumps written; left out: 1 message cut off; damaged file: the MIDI file is cut "
                          "off at byte 912\n");
  EXPECT_EQ(test::ReadAll(dir / "cut.syx").size(), 2u * 392u);
  // Nothing complete: exit 1, no file.
  test::WriteAll(dir / "none.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 300));
  r = Cli("mid2syx " + Q(dir / "none.mid") + " " + Q(dir / "none.syx"));
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("no sound dump found"), std::string::npos) << r.output;
  EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.syx"));
}

}  // namespace
}  // namespace tarvix
