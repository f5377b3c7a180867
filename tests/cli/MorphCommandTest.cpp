#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/RunCommand.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/Morph.h"

namespace tarvix {
namespace {

using test::RunCli;

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
  const std::string ab = "morph " + (dir / "a.syx").string() + " " + (dir / "b.syx").string();
  const std::string out = (dir / "o.syx").string();

  ASSERT_EQ(RunCli(ab + " 37 " + out + " --a-index 1").status, 0);
  a1[386] = 0;
  if (b0[386] > 12) b0[386] = 0;
  a1[390] = b0[390] = 0x7F;
  const auto result = test::ReadAll(out);
  EXPECT_EQ(result, Bytes(MorphedSound(a1, b0, 37, false)));

  // Existing output: refused without --force, replaced with it.
  const auto refused = RunCli(ab + " 100 " + out + " --with-detune");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("o.syx"), std::string::npos);
  EXPECT_EQ(test::ReadAll(out), result);
  ASSERT_EQ(RunCli(ab + " 100 " + out + " --with-detune --force").status, 0);
  EXPECT_EQ(test::ReadAll(out)[9], b0[9]);
}

TEST(CliMorph, RejectsBadInputWithOneLineAndWritesNothing) {
  test::TempDir dir;
  test::WriteAll(dir / "a.syx", Bytes(test::NoiseSound(1)));
  const std::string aa = "morph " + (dir / "a.syx").string() + " " + (dir / "a.syx").string();
  const std::string out = (dir / "o.syx").string();
  for (const std::string& args : {aa + " 101 " + out, aa + " 50 " + out + " --b-index 1"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << args;
  }
  EXPECT_NE(RunCli(aa + " 50 " + out + " --b-index 1").err.find("outside the file (1 sounds)"), std::string::npos);

  // Records without the frame of a sound dump are not blended.
  struct Broken {
    std::size_t offset;
    std::uint8_t value;
  };
  for (const Broken& k : {Broken{0, 0x00}, Broken{1, 0x41}, Broken{2, 0x14}, Broken{4, 0x11}, Broken{391, 0x00}}) {
    SoundData s = test::NoiseSound(5);
    s[k.offset] = k.value;
    test::WriteAll(dir / "bad.syx", Bytes(s));
    const auto r = RunCli("morph " + (dir / "a.syx").string() + " " + (dir / "bad.syx").string() + " 50 " + out);
    EXPECT_EQ(r.status, 1) << k.offset;
    EXPECT_NE(r.err.find("not a sound dump"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << k.offset;
  }
}

}  // namespace
}  // namespace tarvix
