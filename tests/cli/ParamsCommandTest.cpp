#include <nlohmann/json.hpp>

#include "editor/ParameterMap.h"
#include "library/InitSound.h"
#include "tests/cli/CliTest.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using test::Quote;
using test::RunCli;

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
            nlohmann::json::parse(R"({"control": "KnobOctave1", "offset": 8, "parameter": 1, "byte": 127, "value": 9, "text": "9"})"));
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
