#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "editor/ParameterMap.h"
#include "library/InitSound.h"
#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out;
  std::string err;
};

fs::path Cli() { return test::BuildDir() / "tarvix-cli"; }

Result RunCli(const fs::path& exe, const std::string& args, const test::TempDir& dir) {
  const fs::path errFile = dir / "stderr.txt";
  const std::string cmd = "'" + exe.string() + "' " + args + " 2>'" + errFile.string() + "'";
  Result r{};
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return {-1, {}, {}};
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int rc = ::pclose(p);
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  auto e = test::ReadAll(errFile);
  r.err.assign(e.begin(), e.end());
  return r;
}

const nlohmann::json& Entry(const nlohmann::json& arr, const std::string& control) {
  for (auto& o : arr)
    if (o["control"] == control) return o;
  static const nlohmann::json none;
  ADD_FAILURE() << "no entry " << control;
  return none;
}

// Two sounds; the second carries the values the checks look for.
fs::path WriteSounds(const test::TempDir& dir) {
  SoundData a = MakeDefaultInitSound();
  SoundData b = a;
  b[8] = 127;   // octave beyond the knob's range: position 9
  b[9] = 100;   // semitone 36, beyond -12..12
  b[15] = 1;    // oscillator 1 shape: sample 2 ...
  b[22] = 1;    // ... with the sample flag set
  b[84] = 50;   // filter 1 type outside its list
  b[21] = 0;    // Limit WT lit
  b[168] = 127; // LFO 1 speed ...
  b[171] = 1;   // ... clocked
  b[172] = 127; // start phase
  std::vector<std::uint8_t> bytes(a.bytes.begin(), a.bytes.end());
  bytes.insert(bytes.end(), b.bytes.begin(), b.bytes.end());
  const fs::path file = dir / "two.syx";
  test::WriteAll(file, bytes);
  return file;
}

TEST(CliParams, JsonListsEveryControlWithItsDecodedValue) {
  test::TempDir dir;
  const fs::path file = WriteSounds(dir);
  Result r = RunCli(Cli(), "params '" + file.string() + "' --index 1 --json", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  auto arr = nlohmann::json::parse(r.out);
  ASSERT_EQ(arr.size(), ParameterMap::Instance().size());
  for (auto& o : arr) {
    ASSERT_EQ(o.size(), 6u);
    for (const char* key : {"control", "offset", "parameter", "byte", "value", "text"}) ASSERT_TRUE(o.contains(key));
    ASSERT_EQ(o["parameter"].get<int>(), o["offset"].get<int>() - 7);
  }
  auto& octave = Entry(arr, "KnobOctave1");
  EXPECT_EQ(octave["byte"], 127);
  EXPECT_EQ(octave["value"], 9);
  EXPECT_EQ(octave["text"], "9");
  EXPECT_EQ(Entry(arr, "KnobSemitone1")["value"], 36);
  EXPECT_EQ(Entry(arr, "KnobOctave2")["text"], "Oct 8'");
  EXPECT_TRUE(Entry(arr, "cmbShape1")["value"].is_null());  // no sample names beside the program
  EXPECT_EQ(Entry(arr, "cmbShape1")["text"], "");
  EXPECT_TRUE(Entry(arr, "cmbFilter1Type")["value"].is_null());
  EXPECT_EQ(Entry(arr, "cmbFilter2Type")["text"], "Bypass");
  EXPECT_EQ(Entry(arr, "CheckLedLimitWT1")["value"], 1);
  EXPECT_EQ(Entry(arr, "CheckLedLimitWT1")["text"], "On");
  EXPECT_EQ(Entry(arr, "KnobLFO1Speed")["text"], "1/48");
  EXPECT_EQ(Entry(arr, "KnobLFO2Speed")["text"], "Speed");
  EXPECT_EQ(Entry(arr, "KnobLFO1StartPhase")["text"], "Start Phase 355\u00B0");

  // Record 0 by default, and one readable line per control without --json.
  r = RunCli(Cli(), "params '" + file.string() + "'", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), ParameterMap::Instance().size());
  EXPECT_NE(r.out.find("Oct 8'"), std::string::npos);
}

TEST(CliParams, SampleNamesBesideTheProgramFillTheShapeLists) {
  test::TempDir dir;
  const fs::path file = WriteSounds(dir);
  const fs::path exe = dir / "tarvix-cli";
  fs::copy_file(Cli(), exe);
  test::WriteAll(dir / "samplenames.txt", {'P', 'i', 'a', 'n', 'o', '\r', '\n', 'S', 't', 'r', '\n'});
  Result r = RunCli(exe, "params '" + file.string() + "' --index 1 --json", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  auto arr = nlohmann::json::parse(r.out);
  EXPECT_EQ(Entry(arr, "cmbShape1")["value"], 126);
  EXPECT_EQ(Entry(arr, "cmbShape1")["text"], "A2 Str");
}

TEST(CliParams, BadInputFailsWithOneLine) {
  test::TempDir dir;
  const fs::path file = WriteSounds(dir);
  for (const std::string args : {"--index 2", "--index -1"}) {
    Result r = RunCli(Cli(), "params '" + file.string() + "' " + args, dir);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_NE(r.err.find("two.syx"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("out of range"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  Result missing = RunCli(Cli(), "params '" + (dir / "none.syx").string() + "'", dir);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.syx"), std::string::npos);

  test::WriteAll(dir / "junk.syx", std::vector<std::uint8_t>(392, 0x41));
  Result junk = RunCli(Cli(), "params '" + (dir / "junk.syx").string() + "'", dir);
  EXPECT_EQ(junk.status, 1);
  EXPECT_NE(junk.err.find("not a sound dump"), std::string::npos) << junk.err;
}

}  // namespace
}  // namespace tarvix
