#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "editor/ParameterMap.h"
#include "library/InitSound.h"
#include "library/SoundFile.h"
#include "tests/cli/CliTest.h"
#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/Morph.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using test::Cmd;
using test::MakeSound;
using test::Quote;
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
    for (const std::string& args :
         {Cmd("list", c.file), Cmd("list --json", c.file), Cmd("sort", c.file, out) + " --by name",
          Cmd("syx2mid", c.file, out), Cmd("mid2syx", c.file, out),
          Cmd("morph", c.file, c.file) + " 50 " + test::Quote(out.string()),
          Cmd("restore", c.file) + " --port virtual --delay 0", Cmd("params", c.file)})
      test::ExpectFailure(RunCli(args), c.reason, args);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  for (const std::string args : {"sort a b --by size", "list", "frobnicate"})
    test::ExpectFailure(RunCli(args), "", args);
}

TEST(ConvertCommand, RoundTripsRecoversWhatItCanAndNeverReplacesWithoutForce) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx", mid = dir / "bank.mid", back = dir / "back.syx";
  std::vector<SoundData> sounds;
  for (int k = 0; k < 68; ++k)
    sounds.push_back(test::MakeSound(std::to_string(k), 1, 0, k, static_cast<std::uint8_t>(k)));
  test::WriteSounds(syx, sounds);
  auto expected = test::ReadAll(syx);
  for (int k = 0; k < 68; ++k) expected[392 * k + 390] = 0x7F;

  auto r = RunCli(Cmd("syx2mid", syx, mid));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, mid.string() + ": 68 sounds written\n");
  const auto midi = test::ReadAll(mid);
  EXPECT_EQ(RunCli(Cmd("mid2syx", mid, back)).status, 0);

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

const nlohmann::json& Entry(const nlohmann::json& arr, const std::string& control) {
  for (auto& o : arr)
    if (o["control"] == control) return o;
  static const nlohmann::json none;
  ADD_FAILURE() << "no entry " << control;
  return none;
}

TEST(CliParams, JsonListsEveryControlWithItsDecodedValueAndBadInputFailsWithOneLine) {
  test::TempDir dir;
  // Two sounds; the second carries the values the checks look for.
  SoundData b = MakeDefaultInitSound();
  b[8] = 127;                // octave beyond the knob's range: position 9
  b[15] = b[22] = 1;         // oscillator 1 shape: sample 2, with the sample flag set
  b[21] = 0;                 // Limit WT lit
  b[168] = 127, b[171] = 1;  // LFO 1 speed, clocked
  const fs::path file = dir / "two.syx";
  test::WriteSounds(file, {MakeDefaultInitSound(), b});
  auto r = RunCli("params " + Quote(file.string()) + " --index 1 --json");
  ASSERT_EQ(r.status, 0) << r.err;
  auto arr = nlohmann::json::parse(r.out);
  ASSERT_EQ(arr.size(), ParameterMap::Instance().size());
  for (auto& o : arr) ASSERT_EQ(o["parameter"].get<int>(), o["offset"].get<int>() - 7);
  // Out of the knob's range: the number, not a caption.
  EXPECT_EQ(Entry(arr, "KnobOctave1"),
            nlohmann::json::parse(
                R"({"control": "KnobOctave1", "offset": 8, "parameter": 1, "byte": 127, "value": 9, "text": "9"})"));
  EXPECT_EQ(Entry(arr, "KnobOctave2")["text"], "Oct 8'");
  EXPECT_TRUE(Entry(arr, "cmbShape1")["value"].is_null());  // no sample names beside the program
  EXPECT_EQ(Entry(arr, "cmbShape1")["text"], "");
  EXPECT_EQ(Entry(arr, "cmbFilter2Type")["text"], "Bypass");
  EXPECT_EQ(Entry(arr, "CheckLedLimitWT1")["text"], "On");
  EXPECT_EQ(Entry(arr, "KnobLFO1Speed")["text"], "1/48");  // read in the light of the clock switch

  // Record 0 by default, and one readable line per control without --json.
  r = RunCli("params " + Quote(file.string()));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), ParameterMap::Instance().size());
  EXPECT_NE(r.out.find("Oct 8'"), std::string::npos);

  // Sample names beside the program fill the shape lists.
  const fs::path exe = dir / "tarvix-cli";
  fs::copy_file(test::BuildDir() / "tarvix-cli", exe);
  test::WriteAll(dir / "samplenames.txt", {'P', 'i', 'a', 'n', 'o', '\r', '\n', 'S', 't', 'r', '\n'});
  r = RunCli("params " + Quote(file.string()) + " --index 1 --json", exe);
  ASSERT_EQ(r.status, 0) << r.err;
  arr = nlohmann::json::parse(r.out);
  EXPECT_EQ(Entry(arr, "cmbShape1")["value"], 126);
  EXPECT_EQ(Entry(arr, "cmbShape1")["text"], "A2 Str");

  // Bad input fails with one line and prints nothing else.
  test::WriteAll(dir / "junk.syx", std::vector<std::uint8_t>(392, 0x41));
  for (const auto& [args, message] : {std::pair{Quote(file.string()) + " --index 2", "two.syx: index 2 out of range"},
                                      {Quote(file.string()) + " --index -1", "two.syx: index -1 out of range"},
                                      {Quote((dir / "junk.syx").string()), "not a sound dump"}}) {
    const auto r = RunCli("params " + args);
    test::ExpectFailure(r, message, args);
    EXPECT_TRUE(r.out.empty());
  }
}

}  // namespace
}  // namespace tarvix
