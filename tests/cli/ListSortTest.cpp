#include <sys/stat.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "library/SoundFile.h"
#include "tests/support/RunCommand.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;
using test::Quote;
using test::RunCli;
using test::TempDir;

TEST(CliList, JsonHasExactlyTheKeysAndIgnoresThePartRecord) {
  TempDir dir;
  SoundData odd = MakeSound("Caf\xE9", 13, 0x7F, 0);
  odd[offs::kName + 6] = 0x07;  // a control byte is left out of the name
  test::WriteSounds(dir / "f.syx", {MakeSound("Bass", 3, 1, 2), odd, MakeSound("Gone", 0xFF, 7, 127)});
  {  // a trailing part record
    std::ofstream app(dir / "f.syx", std::ios::app | std::ios::binary);
    app << "trailing";
  }
  const auto r = RunCli("list --json " + Quote((dir / "f.syx").string()));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 3u);
  EXPECT_EQ(r.out, j.dump(2) + "\n");  // indented, one key a line
  const std::set<std::string> keys{"index", "bank", "program", "label", "name", "category", "categoryName", "empty"};
  for (const auto& e : j) {
    std::set<std::string> got;
    for (auto it = e.begin(); it != e.end(); ++it) got.insert(it.key());
    EXPECT_EQ(got, keys);
  }
  EXPECT_EQ(j[0]["label"], "B003");
  EXPECT_EQ(j[0]["name"], "Bass            ");
  EXPECT_EQ(j[0]["categoryName"], "Bass");
  EXPECT_EQ(j[1]["label"], "");
  EXPECT_EQ(j[1]["bank"], 127);
  EXPECT_EQ(j[1]["name"], std::string("Caf\xC3\xA9") + std::string(11, ' '));
  EXPECT_EQ(j[1]["categoryName"], "13");
  EXPECT_EQ(j[2]["label"], "H128");
  EXPECT_EQ(j[2]["empty"], true);
  EXPECT_EQ(j[2]["index"], 2);

  const auto plain = RunCli("list " + Quote((dir / "f.syx").string()));
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 3);
  test::WriteAll(dir / "e.syx", {});
  EXPECT_EQ(RunCli("list --json " + Quote((dir / "e.syx").string())).out, "[]\n");
}

TEST(CliSort, OrdersLikeTheProgramAndNeverReplacesWithoutForce) {
  TempDir dir;
  const auto in = dir / "in.syx", out = dir / "out.syx";
  test::WriteSounds(in, {MakeSound("bass 2", 3, 5, 5), MakeSound("Zap", 3), MakeSound("Arp", 6), MakeSound("BASS", 3)});
  auto r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by category --device 9");
  ASSERT_EQ(r.status, 0) << r.err;
  auto sounds = ReadSoundRecords(out);
  ASSERT_EQ(sounds.size(), 4u);
  EXPECT_EQ(TrimmedSoundName(sounds[0]), "BASS");
  EXPECT_EQ(TrimmedSoundName(sounds[1]), "bass 2");
  EXPECT_EQ(TrimmedSoundName(sounds[2]), "Zap");
  EXPECT_EQ(TrimmedSoundName(sounds[3]), "Arp");
  for (int i = 0; i < 4; ++i) {  // renumbered from A001 with the device id and real checksums
    EXPECT_EQ(sounds[i][offs::kProgram], i);
    EXPECT_EQ(sounds[i][offs::kDeviceId], 9);
    EXPECT_EQ(sounds[i][offs::kChecksum], ChecksumOf(sounds[i]));
  }

  const auto before = test::ReadAll(out);
  r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by name");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("out.syx"), std::string::npos);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(test::ReadAll(out), before);
  r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by name --force");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(TrimmedSoundName(ReadSoundRecords(out)[0]), "Arp");

  // One sound: nothing to order, it is written back renumbered.
  test::WriteSounds(in, {MakeSound("Solo", 2, 4, 4)});
  r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by name --force");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadSoundRecords(out).size(), 1u);
}

TEST(CliSort, RefusesMoreSoundsThanTheBanksHoldAndWritesNothing) {
  TempDir dir;
  const auto in = dir / "in.syx", out = dir / "out.syx";
  std::vector<SoundData> many(1500, MakeSound("Many", 3));
  test::WriteSounds(in, many);
  auto r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by name");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("1500"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  many.resize(1024);  // a full set is still sorted
  test::WriteSounds(in, many);
  r = RunCli("sort " + Quote(in.string()) + " " + Quote(out.string()) + " --by name");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadSoundRecords(out).size(), 1024u);
}

TEST(CliErrors, NonRegularFilesAreRefusedWithTheReason) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.syx").c_str(), 0600), 0);
  const auto out = Quote((dir / "o.syx").string());
  struct Case {
    std::string file, reason;
  };
  for (const Case& c : {Case{dir.Path().string(), "Is a directory"}, Case{(dir / "fifo.syx").string(), "FIFO"},
                        Case{"/dev/null", "device"}, Case{(dir / "missing.syx").string(), "No such file"}}) {
    // A FIFO nobody writes to must not block any command.
    for (const std::string& args : {"list " + Quote(c.file), "list --json " + Quote(c.file),
                                    "sort " + Quote(c.file) + " " + out + " --by name",
                                    "syx2mid " + Quote(c.file) + " " + out, "mid2syx " + Quote(c.file) + " " + out,
                                    "morph " + Quote(c.file) + " " + Quote(c.file) + " 50 " + out,
                                    "restore " + Quote(c.file) + " --port virtual --delay 0", "params " + Quote(c.file)}) {
      const auto r = RunCli(args);
      EXPECT_EQ(r.status, 1) << args;
      EXPECT_NE(r.err.find(c.reason), std::string::npos) << args << ": " << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "o.syx"));
}

TEST(CliErrors, BadArgumentsGiveOneLineAndStatusOne) {
  for (const std::string args : {"sort a b --by size", "list", "frobnicate"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
  }
}

}  // namespace
}  // namespace tarvix
