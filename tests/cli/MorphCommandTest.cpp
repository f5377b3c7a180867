#include "tests/cli/CliTest.h"
#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/Morph.h"

namespace tarvix {
namespace {

using test::RunCli;

std::vector<std::uint8_t> Bytes(const SoundData& s) { return {s.bytes.begin(), s.bytes.end()}; }

TEST(CliMorph, WritesTheSavedBlendOfTheChosenRecordsAndRejectsBadInput) {
  test::TempDir dir;
  SoundData a0 = test::NoiseSound(1), a1 = test::NoiseSound(2), b0 = test::NoiseSound(3);
  a1[386] = 40;  // read as Init, as loading into a bank would
  test::WriteSounds(dir / "a.syx", {a0, a1});
  std::ofstream(dir / "a.syx", std::ios::app | std::ios::binary) << '\xF0';  // a trailing part record is no sound
  test::WriteAll(dir / "b.syx", Bytes(b0));
  const std::string ab = test::Cmd("morph", dir / "a.syx", dir / "b.syx"), out = (dir / "o.syx").string();

  ASSERT_EQ(RunCli(ab + " 37 " + out + " --a-index 1").status, 0);
  a1[386] = 0;
  if (b0[386] > 12) b0[386] = 0;
  a1[390] = b0[390] = 0x7F;
  const auto result = test::ReadAll(out);
  EXPECT_EQ(result, Bytes(MorphedSound(a1, b0, 37, false)));
  // Existing output: refused without --force, replaced with it.
  test::ExpectFailure(RunCli(ab + " 100 " + out + " --with-detune"), "o.syx");
  EXPECT_EQ(test::ReadAll(out), result);
  ASSERT_EQ(RunCli(ab + " 100 " + out + " --with-detune --force").status, 0);
  EXPECT_EQ(test::ReadAll(out)[9], b0[9]);

  // Out of range, or records without the frame of a sound dump: nothing is written.
  std::filesystem::remove(out);
  test::ExpectFailure(RunCli(ab + " 101 " + out), "");
  test::ExpectFailure(RunCli(ab + " 50 " + out + " --b-index 1"), "outside the file (1 sounds)");
  for (const auto& [offset, value] : {std::pair{0, 0x00}, {1, 0x41}, {2, 0x14}, {4, 0x11}, {391, 0x00}}) {
    SoundData s = test::NoiseSound(5);
    s[offset] = static_cast<std::uint8_t>(value);
    test::WriteAll(dir / "bad.syx", Bytes(s));
    test::ExpectFailure(RunCli(test::Cmd("morph", dir / "a.syx", dir / "bad.syx") + " 50 " + out), "not a sound dump");
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace tarvix
