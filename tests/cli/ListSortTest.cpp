#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "library/SoundFile.h"
#include "tests/cli/CliTest.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::Cmd;
using test::MakeSound;
using test::RunCli;
using test::TempDir;

TEST(CliList, JsonHasExactlyTheKeysAndIgnoresThePartRecord) {
  TempDir dir;
  SoundData odd = MakeSound("Caf\xE9", 13, 0x7F, 0);
  odd[offs::kName + 6] = 0x07;  // a control byte is left out of the name
  test::WriteSounds(dir / "f.syx", {MakeSound("Bass", 3, 1, 2), odd, MakeSound("Gone", 0xFF, 7, 127)});
  std::ofstream(dir / "f.syx", std::ios::app | std::ios::binary) << "trailing";  // a part record
  const auto r = RunCli(Cmd("list --json", dir / "f.syx"));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(r.out, j.dump(2) + "\n");  // indented, one key a line
  EXPECT_EQ(j, nlohmann::json::parse(R"([
    {"index": 0, "bank": 1, "program": 2, "label": "B003", "name": "Bass            ", "category": 3,
     "categoryName": "Bass", "empty": false},
    {"index": 1, "bank": 127, "program": 0, "label": "", "name": "Caf\u00e9           ", "category": 13,
     "categoryName": "13", "empty": false},
    {"index": 2, "bank": 7, "program": 127, "label": "H128", "name": "Gone            ", "category": 255,
     "categoryName": "255", "empty": true}])"));

  const auto plain = RunCli(Cmd("list", dir / "f.syx"));
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 3);
  test::WriteAll(dir / "e.syx", {});
  EXPECT_EQ(RunCli(Cmd("list --json", dir / "e.syx")).out, "[]\n");
}

TEST(CliSort, OrdersLikeTheProgramAndWritesOnlyWhatItMay) {
  TempDir dir;
  const auto in = dir / "in.syx", out = dir / "out.syx";
  auto names = [&] {
    std::vector<std::string> n;
    for (const auto& s : ReadSoundRecords(out)) n.push_back(TrimmedSoundName(s));
    return n;
  };
  test::WriteSounds(in, {MakeSound("bass 2", 3, 5, 5), MakeSound("Zap", 3), MakeSound("Arp", 6), MakeSound("BASS", 3)});
  ASSERT_EQ(RunCli(Cmd("sort", in, out) + " --by category --device 9").status, 0);
  EXPECT_EQ(names(), (std::vector<std::string>{"BASS", "bass 2", "Zap", "Arp"}));
  const auto sounds = ReadSoundRecords(out);
  for (int i = 0; i < 4; ++i) {  // renumbered from A001 with the device id and real checksums
    EXPECT_EQ(sounds[i][offs::kProgram], i);
    EXPECT_EQ(sounds[i][offs::kDeviceId], 9);
    EXPECT_EQ(sounds[i][offs::kChecksum], ChecksumOf(sounds[i]));
  }

  const auto before = test::ReadAll(out);
  test::ExpectFailure(RunCli(Cmd("sort", in, out) + " --by name"), "out.syx");
  EXPECT_EQ(test::ReadAll(out), before);
  EXPECT_EQ(RunCli(Cmd("sort", in, out) + " --by name --force").status, 0);
  EXPECT_EQ(names().front(), "Arp");
  // One sound: nothing to order, it is written back renumbered.
  test::WriteSounds(in, {MakeSound("Solo", 2, 4, 4)});
  EXPECT_EQ(RunCli(Cmd("sort", in, out) + " --by name --force").status, 0);
  EXPECT_EQ(names(), std::vector<std::string>{"Solo"});

  // More sounds than the banks hold: refused, nothing written; a full set is still sorted.
  std::filesystem::remove(out);
  std::vector<SoundData> many(1500, MakeSound("Many", 3));
  test::WriteSounds(in, many);
  test::ExpectFailure(RunCli(Cmd("sort", in, out) + " --by name"), "1500");
  EXPECT_FALSE(std::filesystem::exists(out));
  many.resize(1024);
  test::WriteSounds(in, many);
  EXPECT_EQ(RunCli(Cmd("sort", in, out) + " --by name").status, 0);
  EXPECT_EQ(ReadSoundRecords(out).size(), 1024u);
}

TEST(CliErrors, BadFilesAndArgumentsGiveOneLineAndStatusOne) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.syx").c_str(), 0600), 0);
  const auto out = dir / "o.syx";
  struct Case {
    std::string file, reason;
  };
  for (const Case& c : {Case{dir.Path().string(), "Is a directory"}, Case{(dir / "fifo.syx").string(), "FIFO"},
                        Case{"/dev/null", "device"}, Case{(dir / "missing.syx").string(), "No such file"}}) {
    // A FIFO nobody writes to must not block any command.
    for (const std::string& args : {Cmd("list", c.file), Cmd("list --json", c.file), Cmd("sort", c.file, out) + " --by name",
                                    Cmd("syx2mid", c.file, out), Cmd("mid2syx", c.file, out),
                                    Cmd("morph", c.file, c.file) + " 50 " + test::Quote(out.string()),
                                    Cmd("restore", c.file) + " --port virtual --delay 0", Cmd("params", c.file)})
      test::ExpectFailure(RunCli(args), c.reason, args);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  for (const std::string args : {"sort a b --by size", "list", "frobnicate"}) test::ExpectFailure(RunCli(args), "", args);
}

}  // namespace
}  // namespace tarvix
