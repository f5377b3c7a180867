// tarvix-cli library import|find|similar, as a script would use them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "editor/ParameterMap.h"
#include "soundlib/SoundLibrary.h"
#include "tests/support/RunCommand.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;
using test::Quote;
using test::RunCli;
using test::TempDir;

TEST(LibraryCommand, ImportFindAndSimilarAsTheCommandLineShowsThem) {
  TempDir dir;
  const auto& map = ParameterMap::Instance();
  SoundData pad = MakeSound("Warm Pad", 5);
  SoundData padAgain = pad;
  SetSoundName(padAgain, "Pad Two");
  SoundData pulse = MakeSound("Pulse Lead", 7);
  pulse[static_cast<std::size_t>(map.Spec("cmbShape1").offset)] = 1;
  SoundData brighter = pad;
  brighter[static_cast<std::size_t>(map.Spec("KnobFilter1Cutoff").offset)] ^= 4;
  SetSoundName(brighter, "Bright Pad");
  std::filesystem::create_directories(dir / "in" / "deeper");
  test::WriteSounds(dir / "in" / "a.syx", {pad, pulse});
  test::WriteSounds(dir / "in" / "deeper" / "b.syx", {padAgain, brighter});
  test::WriteAll(dir / "damaged.syx", {pulse.bytes.begin(), pulse.bytes.begin() + 100});
  const std::string db = " --db " + Quote((dir / "lib.db").string());

  auto r = RunCli("library import " + Quote((dir / "in").string()) + " " + Quote((dir / "damaged.syx").string()) + db);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "4 sounds read, 3 new, 1 already known\n");
  EXPECT_NE(r.err.find("damaged.syx: skipped 1 message cut off"), std::string::npos) << r.err;

  r = RunCli("library find pad --json" + db);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto found = nlohmann::json::parse(r.out);
  ASSERT_EQ(found.size(), 2u);
  const auto& first = found[0];
  const std::string a = std::filesystem::canonical(dir / "in" / "a.syx").string();
  const std::string b = std::filesystem::canonical(dir / "in" / "deeper" / "b.syx").string();
  const nlohmann::json sightings = {{{"source", a}, {"index", 0}}, {{"source", b}, {"index", 0}}};
  EXPECT_EQ(first, (nlohmann::json{{"category", 5}, {"categoryName", CategoryName(5)}, {"id", first["id"]},
                                   {"fingerprint", FingerprintOf(pad).ToHex()}, {"name", "Warm Pad"},
                                   {"names", {"Warm Pad", "Pad Two"}}, {"sightings", sightings}}));

  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {  // arguments, names found
      {"--where \"Osc1 Shape=Pulse\"", {"Pulse Lead"}},
      {"--where \"Osc1 Shape=Saw\" bright", {"Bright Pad"}},  // the text after a condition
      {"--where \"Osc1 Shape=Saw\" --where \"KnobFilter1Cutoff=" +
           std::to_string(brighter[static_cast<std::size_t>(map.Spec("KnobFilter1Cutoff").offset)]) + "\"",
       {"Bright Pad"}},
      {"--category lead", {"Pulse Lead"}},
      {"--limit 1", {"Warm Pad"}},
  };
  for (const auto& [args, expected] : cases) {
    r = RunCli("library find " + args + " --json" + db);
    ASSERT_EQ(r.status, 0) << args << ": " << r.err;
    std::vector<std::string> names;
    for (const auto& o : nlohmann::json::parse(r.out)) names.push_back(o["name"]);
    EXPECT_EQ(names, expected) << args;
  }
  r = RunCli("library find --where \"Osc1 Shape=Banana\"" + db);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no entry \"Banana\""), std::string::npos) << r.err;

  r = RunCli("library similar " + std::to_string(first["id"].get<int>()) + " --json --limit 2" + db);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto near = nlohmann::json::parse(r.out);
  ASSERT_EQ(near.size(), 2u);
  EXPECT_EQ(near[0]["name"], "Bright Pad");
  EXPECT_LT(near[0]["distance"].get<double>(), near[1]["distance"].get<double>());
  r = RunCli("library similar 12345" + db);
  EXPECT_EQ(r.status, 1);

  const std::vector<std::uint8_t> junk(4096, 7);
  test::WriteAll(dir / "junk.db", junk);
  r = RunCli("library find pad --db " + Quote((dir / "junk.db").string()));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is damaged or is not a Tarvix sound library"), std::string::npos) << r.err;
  EXPECT_EQ(test::ReadAll(dir / "junk.db"), junk);
}

}  // namespace
}  // namespace tarvix
