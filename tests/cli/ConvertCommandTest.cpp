#include "tests/cli/CliTest.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::Cmd;
using test::RunCli;

TEST(ConvertCommand, RoundTripsRecoversWhatItCanAndNeverReplacesWithoutForce) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx", mid = dir / "bank.mid", back = dir / "back.syx";
  std::vector<SoundData> sounds;
  for (int k = 0; k < 68; ++k) sounds.push_back(test::MakeSound(std::to_string(k), 1, 0, k, static_cast<std::uint8_t>(k)));
  test::WriteSounds(syx, sounds);
  auto expected = test::ReadAll(syx);
  for (int k = 0; k < 68; ++k) expected[392 * k + 390] = 0x7F;

  auto r = RunCli(Cmd("syx2mid", syx, mid));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, mid.string() + ": 68 sounds written\n");
  const auto midi = test::ReadAll(mid);
  EXPECT_EQ(midi.size(), 22u + 68u * 395u + 4u);
  r = RunCli(Cmd("mid2syx", mid, back));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadAll(back), expected);

  // An existing output stays as it is unless --force is given.
  test::WriteAll(back, {1, 2, 3});
  test::ExpectFailure(RunCli(Cmd("mid2syx", mid, back)), back.string() + ": file exists (use --force");
  EXPECT_EQ(test::ReadAll(back), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(RunCli(Cmd("mid2syx --force", mid, back)).status, 0);
  EXPECT_EQ(test::ReadAll(back), expected);

  // The last dump cut off: the others come back, exit 0, one line telling what was lost.
  test::WriteAll(dir / "cut.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 22 + 2 * 395 + 100));
  r = RunCli(Cmd("mid2syx", dir / "cut.mid", dir / "cut.syx"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadAll(dir / "cut.syx").size(), 2u * 392u);
  // Nothing complete: a failure, no file.
  test::WriteAll(dir / "none.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 300));
  test::ExpectFailure(RunCli(Cmd("mid2syx", dir / "none.mid", dir / "none.syx")), "no sound dump found");
  EXPECT_FALSE(std::filesystem::exists(dir / "none.syx"));
}

}  // namespace
}  // namespace tarvix
