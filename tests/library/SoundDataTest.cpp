#include <sys/stat.h>

#include <gtest/gtest.h>

#include "library/BankSet.h"
#include "library/Fingerprint.h"
#include "library/InitSound.h"
#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

TEST(SoundName, StoresSixteenCharactersPaddedAndHidesControlBytes) {
  SoundData s;
  SetSoundName(s, "A very long name indeed");
  EXPECT_EQ(GetSoundName(s), "A very long name");
  SetSoundName(s, "Pad");
  EXPECT_EQ(GetSoundName(s), "Pad" + std::string(13, ' '));
  EXPECT_EQ(TrimmedSoundName(s), "Pad");
  // Bytes below 32 never show; a name of only such bytes is empty.
  for (std::size_t i = 0; i < 16; ++i) s[offs::kName + i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(GetSoundName(s), "");
  s[offs::kName + 3] = 'X';
  s[offs::kName + 4] = 0xE9;  // Latin-1 e acute stays as it is
  EXPECT_EQ(GetSoundName(s), std::string("X\xE9"));
  EXPECT_EQ(Latin1ToUtf8(GetSoundName(s)), "X\xC3\xA9");
}

TEST(Category, NamesKeysAndOutOfRangeValues) {
  EXPECT_EQ(CategoryName(0), "Init");
  EXPECT_EQ(CategoryName(12), "Seq");
  EXPECT_EQ(CategoryName(13), "13");
  EXPECT_EQ(CategoryName(0xFF), "255");
  EXPECT_EQ(CategoryKey(3), "03");
  EXPECT_EQ(CategoryKey(12), "12");
  EXPECT_FALSE(CategoryKey(13).has_value());
}

TEST(Fingerprint, IgnoresLabelsAndPositionButSeesEveryParameterByte) {
  SoundData a;
  for (std::size_t i = 0; i < kSoundSize; ++i) a[i] = static_cast<std::uint8_t>(i * 7 % 128);
  const Fingerprint base = FingerprintOf(a);
  // Renamed, recategorised, from another slot, device or checksum: the same sound.
  SoundData b = a;
  SetSoundName(b, "Another Name");
  SetCategory(b, 5);
  b[offs::kDeviceId] = 0x11;
  b[offs::kBank] = 0x7F;
  b[offs::kProgram] = 99;
  b[offs::kChecksum] = 0x7F;
  EXPECT_EQ(FingerprintOf(b), base);
  // Any covered byte, the first, the last and those around the name, tells sounds apart.
  for (std::size_t i : {offs::kFirstParameter, std::size_t{200}, offs::kName - 1,
                        offs::kCategory + 1, offs::kLastParameter}) {
    SoundData c = a;
    c[i] ^= 1;
    EXPECT_NE(FingerprintOf(c), base) << "offset " << i;
  }
  const std::string hex = base.ToHex();
  EXPECT_EQ(hex.size(), 32u);
  EXPECT_EQ(Fingerprint::FromHex(hex), base);
  EXPECT_FALSE(Fingerprint::FromHex(hex.substr(1)));
  EXPECT_FALSE(Fingerprint::FromHex("g" + hex.substr(1)));
}

TEST(SlotLabel, CoversTheWholeRangeAndNothingOutside) {
  EXPECT_EQ(SlotLabel(0), "A001");
  EXPECT_EQ(SlotLabel(129), "B002");
  EXPECT_EQ(SlotLabel(1023), "H128");
  EXPECT_EQ(SlotLabel(1024), "");
  EXPECT_EQ(SlotLabel(-1), "");
}

TEST(Checksum, IsTheSevenBitParameterSumAndStampsThePosition) {
  BankSet set;
  SoundData& s = set.Sound(1023);
  s[offs::kCommand] = 0x10;
  s[offs::kBank] = 3;
  s[offs::kProgram] = 9;
  for (std::size_t i = 7; i <= 389; ++i) s[i] = 0;
  s[7] = 100;
  s[8] = 28;  // 128: a multiple of 128 gives 0
  EXPECT_EQ(ComputeChecksum(set, 1023, 5), 0);
  EXPECT_EQ(s[offs::kBank], 7);
  EXPECT_EQ(s[offs::kProgram], 127);
  EXPECT_EQ(s[offs::kDeviceId], 5);
  s[offs::kCommand] = 0x11;  // one higher, mod 128
  EXPECT_EQ(ComputeChecksum(set, 1023, 5), 1);

  RefreshChecksums(set, 127);
  EXPECT_EQ(set.Sound(1023)[offs::kChecksum], 1);
  EXPECT_EQ(set.Sound(130)[offs::kBank], 1);
  EXPECT_EQ(set.Sound(130)[offs::kProgram], 2);
  EXPECT_EQ(set.Sound(130)[offs::kDeviceId], 127);
}

TEST(InitSound, ShippedFileIsTheDefaultSoundAndWellFormed) {
  const SoundData s = MakeDefaultInitSound();
  EXPECT_EQ(s[390], ChecksumOf(s));
  EXPECT_EQ(GetSoundName(s), "Init            ");
  const auto shipped = test::ReadAll(test::SourceDir() / "resources/_initsound.syx");
  ASSERT_EQ(shipped.size(), kSoundSize);
  EXPECT_TRUE(std::equal(shipped.begin(), shipped.end(), s.bytes.begin()));
}

TEST(InitSound, MissingOrShortFileIsLoggedAndTheLastBufferUsed) {
  test::TempDir dir;
  MemoryLog log;
  InitSoundStore store(dir / "_initsound.syx");
  BankSet set;
  set.Sound(5)[100] = 9;
  set.SetChanged(5);
  FillWithInitSound(set, store, log);  // missing: zero-filled
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("_initsound.syx"), std::string::npos);
  EXPECT_EQ(set.Sound(5), SoundData{});
  EXPECT_FALSE(set.Changed(5));

  const SoundData good = MakeDefaultInitSound();
  test::WriteAll(dir / "_initsound.syx", std::vector<std::uint8_t>(good.bytes.begin(), good.bytes.end()));
  FillWithInitSound(set, store, log);
  EXPECT_EQ(set.Sound(1023), good);

  test::WriteAll(dir / "_initsound.syx", std::vector<std::uint8_t>(100, 1));  // short: keep last read
  FillWithInitSound(set, store, log);
  EXPECT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(set.Sound(0), good);

  std::filesystem::remove(dir / "_initsound.syx");  // a FIFO in its place must not stop the start
  ASSERT_EQ(::mkfifo((dir / "_initsound.syx").c_str(), 0600), 0);
  FillWithInitSound(set, store, log);
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_NE(log.lines[2].find("FIFO"), std::string::npos) << log.lines[2];
  EXPECT_EQ(set.Sound(0), good);
}

}  // namespace
}  // namespace tarvix

#include "library/RandomSource.h"

namespace tarvix {
namespace {

TEST(RandomSource, FollowsTheLinearCongruentialSequence) {
  RandomSource r(1);
  // The same numbers as the original program for the same seed: the second
  // step wraps past 2^32.
  EXPECT_EQ(r.Random(100), 3u);
  EXPECT_EQ(r.Seed(), 134775814u);
  EXPECT_EQ(r.Random(1u << 31), 1849087503u);
  EXPECT_EQ(r.Seed(), 3698175007u);
  EXPECT_EQ(r.Random(0), 0u);
  for (int i = 0; i < 1000; ++i) EXPECT_LT(r.Random(7), 7u);
  EXPECT_LT(RandomSource::TimeOfDaySeed(), 86400000u);
}

}  // namespace
}  // namespace tarvix
