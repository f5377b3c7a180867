#include <sys/stat.h>

#include <gtest/gtest.h>

#include "library/Duplicates.h"
#include "library/InitSound.h"
#include "library/RandomSource.h"
#include "tests/support/Paths.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

TEST(SoundData, NamesCategoriesAndSlotLabels) {
  SoundData s;
  SetSoundName(s, "A very long name indeed");
  EXPECT_EQ(GetSoundName(s), "A very long name");
  // Bytes below 32 never show; a name of only such bytes is empty.
  for (std::size_t i = 0; i < 16; ++i) s[offs::kName + i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(GetSoundName(s), "");
  s[offs::kName + 3] = 'X';
  s[offs::kName + 4] = 0xE9;  // Latin-1 e acute stays as it is
  EXPECT_EQ(GetSoundName(s), std::string("X\xE9"));
  EXPECT_EQ(Latin1ToUtf8(GetSoundName(s)), "X\xC3\xA9");

  const std::pair<int, const char*> names[] = {{0, "Init"}, {12, "Seq"}, {13, "13"}, {0xFF, "255"}};
  for (auto [c, name] : names) EXPECT_EQ(CategoryName(static_cast<std::uint8_t>(c)), name);
  EXPECT_TRUE(CategoryKey(3) == "03" && CategoryKey(12) == "12" && !CategoryKey(13).has_value());
  EXPECT_TRUE(SlotLabel(1024).empty() && SlotLabel(-1).empty());  // outside the set: no label
}

TEST(SoundData, FingerprintSeesEveryParameterByteAndReadsBackFromHex) {
  SoundData a;
  for (std::size_t i = 0; i < kSoundSize; ++i) a[i] = static_cast<std::uint8_t>(i * 7 % 128);
  const Fingerprint base = FingerprintOf(a);
  for (std::size_t i : {offs::kFirstParameter, std::size_t{200}, offs::kName - 1, offs::kCategory + 1,
                        offs::kLastParameter}) {
    SoundData c = a;
    c[i] ^= 1;
    EXPECT_NE(FingerprintOf(c), base) << "offset " << i;
  }
  const std::string hex = base.ToHex();
  EXPECT_EQ(Fingerprint::FromHex(hex), base);
  EXPECT_FALSE(Fingerprint::FromHex(hex.substr(1)) || Fingerprint::FromHex("g" + hex.substr(1)));
}

TEST(SoundData, ChecksumIsTheSevenBitParameterSumAndStampsThePosition) {
  BankSet set;
  SoundData& s = set.Sound(1023);
  s[offs::kCommand] = 0x10;
  s[offs::kBank] = 3;
  s[offs::kProgram] = 9;
  for (std::size_t i = 7; i <= 389; ++i) s[i] = 0;
  s[7] = 100;
  s[8] = 28;  // 128: a multiple of 128 gives 0
  EXPECT_EQ(ComputeChecksum(set, 1023, 5), 0);
  EXPECT_TRUE(s[offs::kBank] == 7 && s[offs::kProgram] == 127 && s[offs::kDeviceId] == 5);
  s[offs::kCommand] = 0x11;  // one higher, mod 128
  EXPECT_EQ(ComputeChecksum(set, 1023, 5), 1);
  RefreshChecksums(set, 127);
  EXPECT_EQ(set.Sound(1023)[offs::kChecksum], 1);

  // The same numbers as the original program for the same seed: the second step wraps past 2^32.
  RandomSource r(1);
  EXPECT_TRUE(r.Random(100) == 3u && r.Seed() == 134775814u);
  EXPECT_TRUE(r.Random(1u << 31) == 1849087503u && r.Seed() == 3698175007u);
  EXPECT_EQ(r.Random(0), 0u);
  EXPECT_LT(RandomSource::TimeOfDaySeed(), 86400000u);
}

TEST(InitSound, ShippedFileIsTheDefaultAndABadOneIsLoggedKeepingTheLastRead) {
  const SoundData good = MakeDefaultInitSound();
  const auto shipped = test::ReadAll(test::SourceDir() / "resources/_initsound.syx");
  EXPECT_EQ(shipped, std::vector<std::uint8_t>(good.bytes.begin(), good.bytes.end()));

  test::TempDir dir;
  MemoryLog log;
  InitSoundStore store(dir / "_initsound.syx");
  BankSet set;
  set.Sound(5)[100] = 9;
  set.SetChanged(5);
  FillWithInitSound(set, store, log);  // missing: zero-filled
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("_initsound.syx"), std::string::npos);
  EXPECT_TRUE(set.Sound(5) == SoundData{} && !set.Changed(5));
  test::WriteAll(dir / "_initsound.syx", shipped);
  FillWithInitSound(set, store, log);
  EXPECT_EQ(set.Sound(1023), good);
  test::WriteAll(dir / "_initsound.syx", std::vector<std::uint8_t>(100, 1));  // short: keep last read
  FillWithInitSound(set, store, log);
  EXPECT_TRUE(log.lines.size() == 2u && set.Sound(0) == good);
  std::filesystem::remove(dir / "_initsound.syx");  // a FIFO in its place must not stop the start
  ASSERT_EQ(::mkfifo((dir / "_initsound.syx").c_str(), 0600), 0);
  FillWithInitSound(set, store, log);
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_NE(log.lines[2].find("FIFO"), std::string::npos) << log.lines[2];
  EXPECT_EQ(set.Sound(0), good);
}

// A sound no other slot shares: parameter bytes 100..102 spell out a number.
SoundData Unique(int n, const std::string& name = "Unique") {
  SoundData s = test::MakeSound(name);
  s[100] = static_cast<std::uint8_t>(n & 0x7F);
  s[101] = static_cast<std::uint8_t>((n >> 7) & 0x7F);
  s[102] = 1;
  return s;
}

struct Sets {
  BankSet blofeld{BankSetKind::Blofeld}, virt{BankSetKind::Virtual};
  Sets() {
    for (int i = 0; i < kSlotCount; ++i) blofeld.Sound(i) = Unique(i), virt.Sound(i) = Unique(kSlotCount + i);
  }
};

TEST(Duplicates, GroupsTheSameParametersAcrossNamesCategoriesSlotsAndSets) {
  constexpr auto B = BankSetKind::Blofeld, V = BankSetKind::Virtual;
  Sets s;
  EXPECT_TRUE(FindDuplicates(s.blofeld, s.virt).empty());
  SoundData pad = Unique(5000, "Warm Pad"), renamed = pad, twin = pad;
  SetSoundName(renamed, "Pad copy");  // one sound in three places, relabelled, from another slot, device or checksum
  SetCategory(renamed, 7);
  for (std::size_t i : {offs::kDeviceId, offs::kBank, offs::kProgram, offs::kChecksum}) renamed[i] ^= 0x11;
  s.virt.Sound(900) = s.virt.Sound(4) = pad;
  s.blofeld.Sound(200) = renamed;
  s.blofeld.Sound(10) = s.blofeld.Sound(11) = Unique(6000);  // a second pair, found earlier
  twin[150] ^= 1;  // a near twin: one parameter byte apart is another sound
  s.blofeld.Sound(300) = twin;
  const auto groups = FindDuplicates(s.blofeld, s.virt);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].rows, (std::vector<DuplicateRow>{{B, 10}, {B, 11}}));
  EXPECT_EQ(groups[1].rows, (std::vector<DuplicateRow>{{B, 200}, {V, 4}, {V, 900}}));
  EXPECT_EQ(groups[1].fingerprint, FingerprintOf(pad));
  EXPECT_EQ(RowsIn(groups[1], V), (std::vector<int>{4, 900}));

  // Empty and never loaded slots are never duplicates.
  SoundData empty = Unique(7000), lastCategory = Unique(7001);
  SetCategory(empty, kEmptyCategory);
  SetCategory(lastCategory, kCategoryCount - 1);
  const struct {
    const char* what;
    SoundData sound;
    bool candidate;
  } cases[] = {{"empty slot", empty, false}, {"never loaded", SoundData{}, false},
               {"a sound", Unique(7002), true}, {"highest named category", lastCategory, true}};
  for (const auto& c : cases) {
    Sets t;
    for (int i : {0, 1, 500}) t.blofeld.Sound(i) = c.sound;
    t.virt.Sound(0) = c.sound;
    EXPECT_EQ(FindDuplicates(t.blofeld, t.virt).size(), c.candidate ? 1u : 0u) << c.what;
  }
}

}  // namespace
}  // namespace tarvix
