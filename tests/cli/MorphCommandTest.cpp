#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/Morph.h"

namespace tarvix {
namespace {

struct CliRun {
  int status;
  std::string err;
};

CliRun Cli(const std::string& args, const test::TempDir& dir) {
  const std::string errFile = (dir / "stderr.txt").string();
  const int rc = std::system((std::string(TARVIX_CLI) + " morph " + args + " 2>" + errFile).c_str());
  const auto err = test::ReadAll(errFile);
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, std::string(err.begin(), err.end())};
}

std::vector<std::uint8_t> Bytes(const SoundData& s) { return {s.bytes.begin(), s.bytes.end()}; }

TEST(CliMorph, WritesTheSavedBlendOfTheChosenRecords) {
  test::TempDir dir;
  SoundData a0 = test::NoiseSound(1), a1 = test::NoiseSound(2), b0 = test::NoiseSound(3);
  a1[386] = 40;  // read as Init, as loading into a bank would
  auto fileA = Bytes(a0);
  const auto a1b = Bytes(a1);
  fileA.insert(fileA.end(), a1b.begin(), a1b.end());
  fileA.push_back(0xF0);  // a trailing part record is no sound
  test::WriteAll(dir / "a.syx", fileA);
  test::WriteAll(dir / "b.syx", Bytes(b0));
  const std::string a = (dir / "a.syx").string(), b = (dir / "b.syx").string(), out = (dir / "o.syx").string();

  ASSERT_EQ(Cli(a + " " + b + " 37 " + out + " --a-index 1", dir).status, 0);
  a1[386] = 0;
  if (b0[386] > 12) b0[386] = 0;
  a1[390] = b0[390] = 0x7F;
  EXPECT_EQ(test::ReadAll(out), Bytes(MorphedSound(a1, b0, 37, false)));
  const auto result = test::ReadAll(out);
  EXPECT_EQ(result[9], 64);   // tuning pinned without the option
  for (std::size_t band : {11u, 27u, 43u}) EXPECT_EQ(result[band], 66) << band;  // band range +2
  EXPECT_EQ(result[390], 0x7F);
  EXPECT_EQ(result[64], a1[64]);
  EXPECT_EQ(result[5], 0);

  // Existing output: refused without --force, replaced with it.
  const CliRun refused = Cli(a + " " + b + " 100 " + out + " --with-detune", dir);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("o.syx"), std::string::npos);
  EXPECT_EQ(test::ReadAll(out), result);
  ASSERT_EQ(Cli(a + " " + b + " 100 " + out + " --with-detune --force", dir).status, 0);
  EXPECT_EQ(test::ReadAll(out)[9], b0[9]);
}

TEST(CliMorph, RejectsBadInputWithOneLineAndWritesNothing) {
  test::TempDir dir;
  test::WriteAll(dir / "a.syx", Bytes(test::NoiseSound(1)));
  const std::string a = (dir / "a.syx").string(), out = (dir / "o.syx").string();
  for (const std::string& args : {a + " " + a + " 101 " + out, a + " " + a + " 50 " + out + " --b-index 1",
                                 a + " " + (dir / "missing.syx").string() + " 50 " + out}) {
    const CliRun r = Cli(args, dir);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << args;
  }
  EXPECT_NE(Cli(a + " " + a + " 50 " + out + " --b-index 1", dir).err.find("outside the file (1 sounds)"), std::string::npos);

  // Records without the frame of a sound dump are not blended.
  struct Broken {
    std::size_t offset;
    std::uint8_t value;
  };
  for (const Broken& k : {Broken{0, 0x00}, Broken{1, 0x41}, Broken{2, 0x14}, Broken{4, 0x11}, Broken{391, 0x00}}) {
    SoundData s = test::NoiseSound(5);
    s[k.offset] = k.value;
    test::WriteAll(dir / "bad.syx", Bytes(s));
    const CliRun r = Cli(a + " " + (dir / "bad.syx").string() + " 50 " + out, dir);
    EXPECT_EQ(r.status, 1) << k.offset;
    EXPECT_NE(r.err.find("not a sound dump"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << k.offset;
  }
}

}  // namespace
}  // namespace tarvix
