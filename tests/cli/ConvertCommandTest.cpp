#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/RunCommand.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::Quote;
using test::RunCli;

std::vector<std::uint8_t> Sounds(int n) {
  std::vector<SoundData> sounds;
  for (int k = 0; k < n; ++k) sounds.push_back(test::MakeSound(std::to_string(k), 1, 0, k, static_cast<std::uint8_t>(k)));
  std::vector<std::uint8_t> all;
  for (const auto& s : sounds) all.insert(all.end(), s.bytes.begin(), s.bytes.end());
  return all;
}

std::string Args(const char* command, const std::filesystem::path& in, const std::filesystem::path& out) {
  return std::string(command) + " " + Quote(in.string()) + " " + Quote(out.string());
}

TEST(ConvertCommand, RoundTripsAndNeverReplacesWithoutForce) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx", mid = dir / "bank.mid", back = dir / "back.syx";
  const auto sounds = Sounds(68);
  test::WriteAll(syx, sounds);

  auto r = RunCli(Args("syx2mid", syx, mid));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("68 sounds written"), std::string::npos) << r.out;
  EXPECT_EQ(test::ReadAll(mid).size(), 22u + 68u * 395u + 4u);

  r = RunCli(Args("mid2syx", mid, back));
  EXPECT_EQ(r.status, 0) << r.err;
  auto expected = sounds;
  for (int k = 0; k < 68; ++k) expected[392 * k + 390] = 0x7F;
  EXPECT_EQ(test::ReadAll(back), expected);

  // An existing output stays as it is unless --force is given.
  test::WriteAll(back, {1, 2, 3});
  r = RunCli(Args("mid2syx", mid, back));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(back.string()), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
  EXPECT_EQ(test::ReadAll(back), (std::vector<std::uint8_t>{1, 2, 3}));
  r = RunCli("mid2syx --force " + Quote(mid.string()) + " " + Quote(back.string()));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadAll(back), expected);
}

TEST(ConvertCommand, Mid2SyxRecoversWhatItCanAndFailsOnlyWhenNothingIsLeft) {
  test::TempDir dir;
  test::WriteAll(dir / "bank.syx", Sounds(3));
  ASSERT_EQ(RunCli(Args("syx2mid", dir / "bank.syx", dir / "bank.mid")).status, 0);
  auto midi = test::ReadAll(dir / "bank.mid");
  // The last dump cut off: two come back, exit 0, one line telling what was lost.
  test::WriteAll(dir / "cut.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 22 + 2 * 395 + 100));
  auto r = RunCli(Args("mid2syx", dir / "cut.mid", dir / "cut.syx"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, (dir / "cut.syx").string() +
                       ": 2 sound dumps written; left out: 1 message cut off; damaged file: the MIDI file is cut "
                       "off at byte 912\n");
  EXPECT_EQ(test::ReadAll(dir / "cut.syx").size(), 2u * 392u);
  // Nothing complete: exit 1, no file.
  test::WriteAll(dir / "none.mid", std::vector<std::uint8_t>(midi.begin(), midi.begin() + 300));
  r = RunCli(Args("mid2syx", dir / "none.mid", dir / "none.syx"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no sound dump found"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.syx"));
}

}  // namespace
}  // namespace tarvix
