// The sound library: identity of sounds, import, search, likeness and damaged library files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <tuple>

#include "editor/ParameterMap.h"
#include "library/SoundFile.h"
#include "midi/SysexToMidi.h"
#include "soundlib/Sqlite.h"
#include "soundlib/SoundLibrary.h"
#include "tests/support/Sounds.h"
#include "tests/support/TempDir.h"

// Queries are written with designated initializers naming only what they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using test::MakeSound;
using test::TempDir;

// A sound whose parameters differ from every other seed's.
SoundData RandomSound(const std::string& name, unsigned seed, std::uint8_t category = 0) {
  SoundData s = MakeSound(name, category);
  std::mt19937 r(seed);
  for (std::size_t o = offs::kFirstParameter; o < offs::kName; ++o) s[o] = static_cast<std::uint8_t>(r() % 128);
  return s;
}

std::vector<std::string> Names(const std::vector<LibraryEntry>& found) {
  std::vector<std::string> out;
  for (const auto& e : found) out.push_back(e.name);
  return out;
}

std::int64_t Count(sql::Database& db, const std::string& q) { return db.QueryInt(q).value_or(-1); }

// A report in one line: its summary, the places it added and every problem.
std::string Report(const ImportReport& r) {
  std::string s = r.Summary() + "; " + std::to_string(r.newSightings) + " places";
  for (const auto& p : r.problems) s += "; " + p;
  return s;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct SoundLibraryTest : ::testing::Test {
  TempDir dir;
  SoundLibrary lib{dir / "lib.db"};
};

TEST_F(SoundLibraryTest, OneSoundPerParameterContentWithEveryNameAndPlaceItWasSeenAt) {
  const SoundData pad = RandomSound("Warm Pad", 1, 5);
  SoundData renamed = RandomSound("Pad Renamed", 1, 7);  // the same parameters, in another slot and device
  renamed[offs::kBank] = 3;
  renamed[offs::kDeviceId] = 9;
  test::WriteSounds(dir / "a.syx", {pad, RandomSound("Fat Bass", 2, 1), pad});
  test::WriteSounds(dir / "b.syx", {renamed});
  EXPECT_EQ(Report(lib.ImportPaths({dir / "a.syx", dir / "b.syx"})), "4 sounds read, 2 new, 2 already known; 4 places");
  const auto id = lib.IdOf(FingerprintOf(pad)).value();
  const auto sound = lib.Get(id).value();
  EXPECT_EQ(std::pair(sound.name, int{sound.category}), std::pair(std::string("Warm Pad"), 5));
  ASSERT_EQ(sound.names.size(), 2u);
  EXPECT_EQ(std::pair(sound.names[1].name, int{sound.names[1].category}), std::pair(std::string("Pad Renamed"), 7));
  EXPECT_EQ(std::pair(sound.sightings.size(), sound.sightingCount), std::pair(std::size_t{3}, 3));
  SoundData stored = pad;
  stored[offs::kChecksum] = 0x7F;  // as every loaded sound: "do not check"
  EXPECT_EQ(sound.sound, stored);

  // The same files again, through a folder and another spelling of the path: nothing new.
  EXPECT_EQ(Report(lib.ImportPaths({dir.Path(), dir / "." / "b.syx"})),
            "5 sounds read, 0 new, 5 already known; 0 places");

  // A changed file: its new record is a new sighting, the old ones stay.
  test::WriteSounds(dir / "b.syx", {renamed, RandomSound("Lead", 3)});
  EXPECT_EQ(Report(lib.ImportFile(dir / "b.syx")), "2 sounds read, 1 new, 1 already known; 1 places");
  // The instrument is a source of its own, indexed by slot.
  EXPECT_EQ(lib.Import(kInstrumentSource, std::vector<ImportRecord>{{pad, 130}}).newSightings, 1);
  const auto last = lib.Get(id)->sightings.back();
  EXPECT_EQ(std::pair(last.source, last.index), std::pair(std::string(kInstrumentSource), 130));
}

TEST_F(SoundLibraryTest, FindMatchesAnyNameAsSubstringAndTheOtherFilters) {
  const SoundData pad = RandomSound("Warm Pad", 1, 5), padAgain = RandomSound("Ocean 100%", 1, 2);  // one sound
  const std::vector<ImportRecord> records{{pad, 0},
                                          {RandomSound("Fat Bass", 2, 1), 1},
                                          {RandomSound("SPADE lead", 3, 6), 2},
                                          {padAgain, 3},
                                          {RandomSound("a_b", 4, 6), 4}};
  lib.Import("/x.syx", records);
  const auto bass = lib.IdOf(FingerprintOf(records[1].sound)).value();
  lib.SetFavourite(bass, true);
  lib.AddTag(bass, "dark");
  lib.AddTag(bass, "dark");
  lib.AddTag(*lib.IdOf(FingerprintOf(pad)), "soft");

  const std::vector<std::pair<LibraryQuery, std::vector<std::string>>> cases = {  // query, names found
      {{.text = "pad"}, {"Warm Pad", "SPADE lead"}},  // trigram index, any case
      {{.text = "PAD"}, {"Warm Pad", "SPADE lead"}},
      {{.text = "ocean"}, {"Warm Pad"}},  // a later name finds the sound
      {{.text = "0%"}, {"Warm Pad"}},     // LIKE's wildcards are plain characters
      {{.text = "100%"}, {"Warm Pad"}},
      {{.text = "_"}, {"a_b"}},
      {{.text = "as"}, {"Fat Bass"}},  // shorter than a trigram
      {{.text = "zzz"}, {}},
      {{.text = ""}, {"Warm Pad", "Fat Bass", "SPADE lead", "a_b"}},
      {{.category = 2}, {"Warm Pad"}},  // any category seen with
      {{.category = 6}, {"SPADE lead", "a_b"}},
      {{.text = "a", .category = 6}, {"SPADE lead", "a_b"}},
      {{.favouritesOnly = true}, {"Fat Bass"}},
      {{.tag = "dark"}, {"Fat Bass"}},
      {{.tag = "soft"}, {"Warm Pad"}},
  };
  for (const auto& [query, found] : cases) EXPECT_EQ(Names(lib.Find(query)), found) << "text '" << query.text << "'";
  EXPECT_EQ(lib.AllTags(), (std::vector<std::string>{"dark", "soft"}));
  lib.RemoveTag(bass, "dark");
  lib.SetFavourite(bass, false);
  EXPECT_TRUE(lib.Find({.tag = "dark"}).empty());
  EXPECT_TRUE(lib.Find({.favouritesOnly = true}).empty());
}

TEST_F(SoundLibraryTest, ParameterConditionsUseTheEditorsNamesAndTexts) {
  const auto& map = ParameterMap::Instance();
  SoundData saw = MakeSound("Saw");  // the init sound: oscillator 1 saw, octave 8'
  saw[map[map.IndexOf("CheckLedGlide")].offset] = 1;
  SoundData square = saw;
  square[static_cast<std::size_t>(map.Spec("cmbShape1").offset)] = 1;
  square[static_cast<std::size_t>(map.Spec("KnobOctave1").offset)] = 16 + 12 * 3;

  const std::tuple<const char*, const char*, bool, bool> cases[] = {  // condition, control, matches saw, square
      {"Osc1 Shape=saw", "cmbShape1", true, false},
      {" Oscillator 1 Shape = Saw ", "cmbShape1", true, false},
      {"cmbshape1=1", "cmbShape1", false, true},  // a number is the value
      {"KnobOctave1=Oct 8'", "KnobOctave1", true, false},  // a knob by its caption
      {"CheckLedGlide=on", "CheckLedGlide", true, true},
  };
  for (const auto& [condition, control, matchesSaw, matchesSquare] : cases) {
    SCOPED_TRACE(condition);
    const ParameterCondition p = ParseParameterCondition(condition);
    EXPECT_EQ(map[p.control].name, control);
    EXPECT_EQ(std::pair(p.Matches(saw), p.Matches(square)), std::pair(matchesSaw, matchesSquare));
  }
  for (const char* bad : {"cmbShape1", "Nothing=1", "cmbShape1=Banana", "CheckLedGlide=maybe"})
    EXPECT_THROW(ParseParameterCondition(bad), LibraryError) << bad;

  lib.Import("/x.syx", std::vector<ImportRecord>{{saw, 0}, {square, 1}});
  EXPECT_EQ(Names(lib.Find({.where = {ParseParameterCondition("Osc1 Shape=Pulse")}})), std::vector<std::string>{"Saw"})
      << "the renamed square is found by parameters, under its first name";
  EXPECT_EQ(lib.Find({.where = {ParseParameterCondition("CheckLedGlide=on")}, .limit = 1}).size(), 1u);
}

TEST_F(SoundLibraryTest, SimilarRanksByScaledParametersAndWeighsPitchAboveArpeggiator) {
  const auto& map = ParameterMap::Instance();
  const SoundData base = MakeSound("Base");
  EXPECT_EQ(SoundDistance(base, MakeSound("Other name", 4)), 0) << "names and categories are not sound";
  // The base sound with one control's byte changed by `change`.
  const auto with = [&](const char* control, int (*change)(int)) {
    SoundData s = base;
    auto& b = s[static_cast<std::size_t>(map.Spec(control).offset)];
    b = static_cast<std::uint8_t>(change(b));
    return s;
  };
  const SoundData cutoffNear = with("KnobFilter1Cutoff", [](int b) { return b ^ 8; });
  const SoundData cutoffFar = with("KnobFilter1Cutoff", [](int b) { return b ^ 64; });
  const SoundData semitone = with("KnobSemitone1", [](int b) { return b + 12; });
  const SoundData arp = with("KnobArpTempo", [](int b) { return b ^ 64; });
  EXPECT_GT(SoundDistance(base, cutoffNear), 0);
  EXPECT_LT(SoundDistance(base, cutoffNear), SoundDistance(base, cutoffFar));
  EXPECT_LT(SoundDistance(base, arp), SoundDistance(base, cutoffFar)) << "the arpeggiator weighs less";
  // A semitone step is 1/24 of its range, yet an octave outweighs a cutoff half-way; lists are equal or not.
  EXPECT_GT(SoundDistance(base, semitone), SoundDistance(base, cutoffFar) * 0.9);
  EXPECT_EQ(SoundDistance(base, with("cmbShape1", [](int b) { return b + 1; })),
            SoundDistance(base, with("cmbShape1", [](int b) { return b + 3; })))
      << "a list is equal or not";
  EXPECT_EQ(SoundDistance(base, cutoffFar), SoundDistance(cutoffFar, base));

  lib.Import("/x.syx",
             std::vector<ImportRecord>{{base, 0}, {cutoffFar, 1}, {cutoffNear, 2}, {RandomSound("far", 9), 3}});
  EXPECT_EQ(lib.Similar(*lib.IdOf(FingerprintOf(base)), 0).size(), 3u) << "every other sound, never the sound itself";
}

TEST_F(SoundLibraryTest, DamagedAndMidiFilesAddWhatTheyCanAndSayWhatWasSkipped) {
  const SoundData one = RandomSound("One", 1), two = RandomSound("Two", 2), three = RandomSound("Three", 3);
  std::vector<std::uint8_t> bytes(one.bytes.begin(), one.bytes.end());
  bytes.insert(bytes.end(), two.bytes.begin(), two.bytes.begin() + 200);  // cut off
  bytes.insert(bytes.end(), {0xF0, 0x43, 0x10, 0x4C, 0xF7});             // another device's message
  bytes.insert(bytes.end(), three.bytes.begin(), three.bytes.end());
  test::WriteAll(dir / "damaged.syx", bytes);
  const std::string at = dir.Path().string() + "/";
  const std::string skipped = "damaged.syx: skipped 1 message cut off, 1 message that is no sound dump";
  EXPECT_EQ(Report(lib.ImportFile(dir / "damaged.syx")),
            "2 sounds read, 2 new, 0 already known; 2 places; " + at + skipped);
  EXPECT_TRUE(lib.IdOf(FingerprintOf(three)));

  // The same sounds in a MIDI file are the same library sounds.
  test::WriteSounds(dir / "pair.syx", {one, two});
  {
    std::ifstream in(dir / "pair.syx", std::ios::binary);
    std::ofstream out(dir / "pair.mid", std::ios::binary);
    SysexToMidi(in, [&](std::span<const std::uint8_t> b) {
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    });
  }
  fs::remove(dir / "pair.syx");
  test::WriteAll(dir / "empty.syx", {});
  test::WriteAll(dir / "notes.txt", {1, 2, 3});  // not a sound file: passed over in a folder
  ASSERT_EQ(::mkfifo((dir / "pipe.syx").c_str(), 0600), 0);  // would block a read for ever
  ImportReport r = lib.ImportPaths({dir.Path(), dir / "missing.syx", dir / "pipe.syx"});
  EXPECT_EQ(r.files, 3);  // damaged.syx again, pair.mid and empty.syx
  EXPECT_EQ(Report(r), "4 sounds read, 1 new, 3 already known; 2 places; " + at + skipped + "; " + at +
                           "empty.syx: no sound dumps found; " + at + "missing.syx: No such file or directory; " + at +
                           "pipe.syx: not a regular file");

  // Records that are no dumps, handed in directly.
  SoundData junk = one;
  junk[offs::kCommand] = 0x11;
  EXPECT_EQ(Report(lib.Import("/y.syx", std::vector<ImportRecord>{{junk, 4}, {junk, 5}, {one, 6}})),
            "1 sound read, 0 new, 1 already known; 1 places; /y.syx: 2 records are not a sound dump (first at 4), "
            "skipped");

  // Export gives the dumps back in the order asked, unknown ids left out.
  const std::vector<std::int64_t> ids{*lib.IdOf(FingerprintOf(three)), 4242, *lib.IdOf(FingerprintOf(one))};
  EXPECT_EQ(lib.ExportSounds(ids, dir / "out.syx"), 2);
  const auto back = ReadSoundRecords(dir / "out.syx");
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(std::pair(FingerprintOf(back[0]), FingerprintOf(back[1])),
            std::pair(FingerprintOf(three), FingerprintOf(one)));
}

TEST(SoundLibraryFile, NewerDamagedAndForeignFilesAreRefusedAndLeftByteForByte) {
  TempDir dir;
  const fs::path file = dir / "sub" / "folder" / "lib.db";
  SoundLibrary(file).Import("/a.syx", std::vector<ImportRecord>{{RandomSound("x", 1), 0}});  // creates the folders
  {
    sql::Database db(file, sql::Database::Mode::ReadWrite);
    EXPECT_EQ(Count(db, "SELECT max(version) FROM schema_migrations"), SoundLibrary::kSchemaVersion);
  }
  SoundLibrary(file).SoundCount();  // reopening an up-to-date file is fine

  auto torn = test::ReadAll(file);
  for (std::size_t i = 100; i < torn.size(); ++i) torn[i] = static_cast<std::uint8_t>(i * 7);
  // The file's name, how it is made, and what the refusal says.
  const std::vector<std::tuple<std::string, std::function<void(const fs::path&)>, std::string>> cases = {
      {"newer", [&](const fs::path& f) {
         fs::copy_file(file, f);
         sql::Database(f, sql::Database::Mode::ReadWrite).Exec("PRAGMA user_version = 2");
       }, "newer version"},
      {"garbage", [](const fs::path& f) { test::WriteAll(f, std::vector<std::uint8_t>(5000, 0x5A)); }, "damaged"},
      {"torn pages", [&](const fs::path& f) { test::WriteAll(f, torn); }, "damaged"},
      {"foreign", [](const fs::path& f) {
         sql::Database(f, sql::Database::Mode::ReadWriteCreate).Exec("CREATE TABLE recipes(name TEXT)");
       }, "not a Tarvix sound library"},
      {"folder", [](const fs::path& f) { fs::create_directory(f); }, "not a regular file"},
  };
  for (const auto& [name, make, message] : cases) {
    SCOPED_TRACE(name);
    const fs::path f = dir / (name + ".db");
    make(f);
    const auto before = fs::is_regular_file(f) ? test::ReadAll(f) : std::vector<std::uint8_t>{};
    try {
      SoundLibrary lib(f);
      lib.Find({});
      ADD_FAILURE() << "opened";
    } catch (const LibraryFileError& e) {
      EXPECT_TRUE(Has(e.what(), message) && Has(e.what(), f.string())) << e.what();
    }
    if (fs::is_regular_file(f)) { EXPECT_EQ(test::ReadAll(f), before); }
  }
}

// A kill leaves every file wholly in the library or not at all, and a new import completes the rest.
TEST(SoundLibraryFile, ImportsKilledHalfWayLeaveAConsistentLibrary) {
  TempDir dir;
  constexpr int kFiles = 12, kPerFile = 150;
  for (int f = 0; f < kFiles; ++f) {
    std::vector<SoundData> sounds;
    for (int i = 0; i < kPerFile; ++i)
      sounds.push_back(
          RandomSound("S" + std::to_string(f) + "-" + std::to_string(i), static_cast<unsigned>(f * 1000 + i)));
    test::WriteSounds(dir / ("f" + std::to_string(f) + ".syx"), sounds);
  }
  // How long a whole import takes here, so the kills land inside one.
  const auto start = std::chrono::steady_clock::now();
  SoundLibrary(dir / "timing.db").ImportPaths({dir.Path()});
  const auto full = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  std::mt19937 random(777);
  int partial = 0;
  for (int round = 0; round < 8; ++round) {
    const fs::path file = dir / ("lib" + std::to_string(round) + ".db");
    SoundLibrary(file).SoundCount();  // created before the child starts
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        SoundLibrary lib(file);
        lib.ImportPaths({dir.Path()});
      } catch (...) {
      }
      ::_exit(3);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (full.count() + 1)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    sql::Database db(file, sql::Database::Mode::ReadWrite);
    auto check = db.Prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok") << "round " << round;
    EXPECT_FALSE(db.Prepare("PRAGMA foreign_key_check").Step());
    db.Exec("INSERT INTO names_fts(names_fts) VALUES ('integrity-check')");
    const auto sources = Count(db, "SELECT count(*) FROM sources");
    EXPECT_EQ(Count(db, "SELECT count(*) FROM sightings"), sources * kPerFile) << "round " << round;
    EXPECT_EQ(Count(db, "SELECT count(*) FROM names"), sources * kPerFile);
    partial += sources > 0 && sources < kFiles;

    SoundLibrary lib(file);
    EXPECT_EQ(lib.ImportPaths({dir.Path()}).added, (kFiles - sources) * kPerFile);
    EXPECT_EQ(lib.SoundCount(), kFiles * kPerFile);
  }
  std::printf("%d of 8 kills stopped an import between files\n", partial);
}

}  // namespace
}  // namespace tarvix
