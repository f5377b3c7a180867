#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

#include "library/AtomicFile.h"
#include "library/SoundFile.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;
using test::ReadAll;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteSounds;

TEST(LoadSoundFile, ChosenPositionWrapsClampsAndMarksTheRecords) {
  TempDir dir;
  WriteSounds(dir / "three.syx", {MakeSound("One", 40), MakeSound("Two", 3), MakeSound("Three", 0xFF)});
  BankSet set;
  set.SetChanged(1022);
  set.SetChanged(5);
  set.SelectionList = {1, 2};
  const LoadResult r = LoadSoundFile(set, dir / "three.syx", 1022);  // H127
  EXPECT_EQ(r.stored, 3);
  EXPECT_EQ(r.fileName, "three.syx");
  EXPECT_EQ(GetSoundName(set, 1022), "One             ");
  EXPECT_EQ(GetCategory(set, 1022), 0);  // 40 is clamped to Init
  EXPECT_EQ(GetSoundName(set, 1023), "Two             ");
  EXPECT_EQ(GetSoundName(set, 0), "Three           ");
  EXPECT_EQ(GetCategory(set, 0), 0);  // 0xFF is above 12 too
  for (int i : {1022, 1023, 0}) {
    EXPECT_EQ(set.Sound(i)[offs::kChecksum], 0x7F);
    EXPECT_FALSE(set.Changed(i));
  }
  EXPECT_TRUE(set.Changed(5));  // slots the file does not address keep their flags
  EXPECT_TRUE(set.SelectionList.empty());
  EXPECT_EQ(set.Sound(1022)[offs::kBank], 0);  // the record's own numbers stay
  EXPECT_EQ(GroupCaption(BankSetKind::Virtual, r.fileName), "Virtual banks (three.syx)");
}

TEST(LoadSoundFile, OwnPositionsFollowTheRecordsAndStopAtAnUnaddressableOne) {
  TempDir dir;
  WriteSounds(dir / "own.syx",
              {MakeSound("Late", 1, 7, 127), MakeSound("C006", 2, 2, 5), MakeSound("Again", 2, 2, 5),
               MakeSound("Edit", 2, 0x7F, 0), MakeSound("Never", 2, 0, 9)});
  BankSet set;
  EXPECT_THROW(LoadSoundFile(set, dir / "own.syx", kOwnPositions), std::runtime_error);
  EXPECT_EQ(GetSoundName(set, 1023), "Late            ");
  EXPECT_EQ(GetSoundName(set, 2 * 128 + 5), "Again           ");  // the later record wins
  EXPECT_EQ(GetSoundName(set, 9), "");  // after the stop nothing is read

  // Bank 8 and program bytes above 127 address no slot either.
  WriteSounds(dir / "bank8.syx", {MakeSound("Bad", 0, 8, 0)});
  EXPECT_THROW(LoadSoundFile(set, dir / "bank8.syx", kOwnPositions), std::runtime_error);
  WriteSounds(dir / "prog.syx", {MakeSound("Bad", 0, 7, 200)});
  EXPECT_THROW(LoadSoundFile(set, dir / "prog.syx", kOwnPositions), std::runtime_error);
  for (int i = 0; i < kSlotCount; ++i) EXPECT_NE(GetSoundName(set, i), "Bad             ");
}

TEST(LoadSoundFile, OddSizesEmptyAndRandomFiles) {
  TempDir dir;
  BankSet set;
  const SoundData before = set.Sound(0);
  test::WriteAll(dir / "empty.syx", {});
  EXPECT_EQ(CountSoundsInFile(dir / "empty.syx"), 0);
  EXPECT_EQ(LoadSoundFile(set, dir / "empty.syx", 0).stored, 0);
  test::WriteAll(dir / "short.syx", std::vector<std::uint8_t>(391, 0xF0));
  EXPECT_EQ(CountSoundsInFile(dir / "short.syx"), 0);
  EXPECT_EQ(LoadSoundFile(set, dir / "short.syx", 0).stored, 0);
  EXPECT_EQ(set.Sound(0), before);

  // Random bytes: whole records are stored as they are, the trailing part
  // record is ignored, and nothing crashes in either mode.
  std::mt19937 rng(7);
  std::vector<std::uint8_t> noise(1024 * 392 + 100);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  test::WriteAll(dir / "noise.syx", noise);
  EXPECT_EQ(CountSoundsInFile(dir / "noise.syx"), 1024);
  EXPECT_EQ(LoadSoundFile(set, dir / "noise.syx", 3).stored, 1024);
  for (int i = 0; i < kSlotCount; ++i) EXPECT_LE(GetCategory(set, i), 12);
  try {
    LoadSoundFile(set, dir / "noise.syx", kOwnPositions);
  } catch (const std::runtime_error&) {
  }
}

TEST(SaveSelectedSounds, WritesSelectedNonEmptySlotsAndAsksBeforeReplacing) {
  TempDir dir;
  BankSet set;
  set.Sound(3) = MakeSound("Three", 1, 5, 6);
  set.Sound(7) = MakeSound("Empty", 0xFF);
  set.Sound(9) = MakeSound("Nine", 2);
  set.SetChanged(3);
  for (int i : {9, 3, 7}) set.Select(i);
  ScriptedPrompter p;
  p.saveName = (dir / "sel.syx").string();
  ASSERT_TRUE(SaveSelectedSounds(set, p).has_value());
  auto bytes = ReadAll(dir / "sel.syx");
  ASSERT_EQ(bytes.size(), 2 * kSoundSize);
  EXPECT_TRUE(std::equal(set.Sound(3).bytes.begin(), set.Sound(3).bytes.end(), bytes.begin()));
  EXPECT_TRUE(set.Changed(3));  // writing never clears the flag
  EXPECT_TRUE(p.asked.empty());

  // Existing file: No keeps it, Yes replaces it.
  set.ClearSelection();
  set.Select(9);
  p.answers = {Answer::No};
  EXPECT_FALSE(SaveSelectedSounds(set, p).has_value());
  EXPECT_EQ(ReadAll(dir / "sel.syx").size(), 2 * kSoundSize);
  EXPECT_EQ(p.asked.back(), "Do you want to replace it?");
  p.answers = {Answer::Yes};
  EXPECT_TRUE(SaveSelectedSounds(set, p).has_value());
  EXPECT_EQ(ReadAll(dir / "sel.syx").size(), kSoundSize);

  set.ClearSelection();  // nothing selected: an empty file
  p.answers = {Answer::Yes};
  EXPECT_TRUE(SaveSelectedSounds(set, p).has_value());
  EXPECT_EQ(ReadAll(dir / "sel.syx").size(), 0u);
  p.saveName.reset();  // cancelled dialog
  EXPECT_FALSE(SaveSelectedSounds(set, p).has_value());
}

TEST(SaveSeparateFiles, NamesFilesAfterTheSlotAndHonoursCancel) {
  TempDir dir;
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("S" + std::to_string(i));
  set.Select(0);
  set.Select(128);
  ScriptedPrompter p;
  p.saveName = (dir / "x.syx").string();
  auto files = SaveSeparateFiles(set, p);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].filename(), "x.syx1.syx");
  EXPECT_EQ(files[1].filename(), "x.syx129.syx");
  EXPECT_EQ(ReadAll(files[1]).size(), kSoundSize);

  // Both exist now: Cancel at the first question writes neither; No skips.
  std::filesystem::remove(files[1]);
  p.answers = {Answer::Cancel};
  EXPECT_TRUE(SaveSeparateFiles(set, p).empty());
  EXPECT_FALSE(std::filesystem::exists(files[1]));
  p.answers = {Answer::No};
  EXPECT_EQ(SaveSeparateFiles(set, p).size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(files[1]));

  // One row selected: "Select all?" No writes just that one.
  set.ClearSelection();
  set.Select(5);
  p.asked.clear();
  p.answers = {Answer::No};
  EXPECT_EQ(SaveSeparateFiles(set, p).size(), 1u);
  EXPECT_EQ(p.asked.front(), "Select all?");
}

TEST(SaveAllRenumbered, StampsPositionsWritesEverySlotAndRoundTrips) {
  TempDir dir;
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("N" + std::to_string(i), i % 13, 3, 3);
  set.Sound(5) = MakeSound("Empty", 0xFF);
  SaveAllRenumbered(set, dir / "all.syx");
  EXPECT_EQ(ReadAll(dir / "all.syx").size(), kSlotCount * kSoundSize);
  EXPECT_EQ(set.Sound(1023)[offs::kBank], 7);
  EXPECT_EQ(set.Sound(1023)[offs::kProgram], 127);
  BankSet back;
  LoadSoundFile(back, dir / "all.syx", kOwnPositions);
  for (int i = 0; i < kSlotCount; ++i) EXPECT_EQ(GetSoundName(back, i), GetSoundName(set, i));
}

TEST(AtomicWrites, FailuresLeaveTheOldFileAndNoLitter) {
  TempDir dir;
  BankSet set;
  SaveAllRenumbered(set, dir / "keep.syx");
  const auto old = ReadAll(dir / "keep.syx");

  // A write that fails half-way: a child process limited to 100 kB of file
  // size runs out of room in the middle of the 401 kB bank file.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{100000, 100000};
    setrlimit(RLIMIT_FSIZE, &lim);
    BankSet other;
    for (int i = 0; i < kSlotCount; ++i) other.Sound(i) = MakeSound("New");
    try {
      SaveAllRenumbered(other, dir / "keep.syx");
    } catch (const std::runtime_error&) {
      _exit(42);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
  EXPECT_EQ(ReadAll(dir / "keep.syx"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);

  // An unwritable folder: a clear error, the old file untouched.
  if (geteuid() != 0) {  // root ignores permissions
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(SaveAllRenumbered(set, dir / "keep.syx"), std::runtime_error);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  }
  EXPECT_THROW(SaveAllRenumbered(set, dir / "no/such/folder/x.syx"), std::runtime_error);
  EXPECT_EQ(ReadAll(dir / "keep.syx"), old);
}

TEST(AtomicWrites, SavingThroughALinkReplacesTheLinkedFileAndKeepsTheLink) {
  TempDir dir;
  namespace fs = std::filesystem;
  fs::create_directory(dir / "store");
  WriteSounds(dir / "store/real.syx", {MakeSound("Old")});
  fs::create_symlink("store/real.syx", dir / "link.syx");     // relative to the link's folder
  fs::create_symlink(dir / "link.syx", dir / "chain.syx");    // a link to a link
  fs::create_symlink("store/later.syx", dir / "dangling.syx");  // names a file still to be made
  struct Case {
    const char* link;
    const char* file;
  };
  for (const Case& c : {Case{"link.syx", "store/real.syx"}, Case{"chain.syx", "store/real.syx"},
                        Case{"dangling.syx", "store/later.syx"}}) {
    const SoundData sound = MakeSound(c.link);
    WriteSoundRecords(dir / c.link, {&sound});
    EXPECT_TRUE(fs::is_symlink(dir / c.link)) << c.link;
    ASSERT_EQ(ReadSoundRecords(dir / c.file).size(), 1u) << c.link;
    EXPECT_EQ(ReadSoundRecords(dir / c.file)[0], sound) << c.link;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "store"), fs::directory_iterator()), 2);  // no litter
  fs::create_symlink("loop2.syx", dir / "loop1.syx");
  fs::create_symlink("loop1.syx", dir / "loop2.syx");
  const SoundData sound = MakeSound("Loop");
  EXPECT_THROW(WriteSoundRecords(dir / "loop1.syx", {&sound}), std::runtime_error);
}

TEST(AtomicWrites, TheNextSaveRemovesTheLeftoversOfAKilledOne) {
  TempDir dir;
  BankSet set;
  SaveAllRenumbered(set, dir / "banks.syx");
  // A save killed half-way leaves its temporary file behind.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    AtomicFileWriter w(dir / "banks.syx");
    w.Write("half a bank");
    kill(getpid(), SIGKILL);
  }
  waitpid(pid, nullptr, 0);
  auto names = [&] {
    std::set<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) n.insert(e.path().filename().string());
    return n;
  };
  ASSERT_EQ(names().size(), 2u);
  // Files that only look alike stay, and so does the file of a save still running.
  test::WriteAll(dir / ".other.syx.tmp-abcdef", {1});
  test::WriteAll(dir / ".banks.syx.tmp-abcdefg", {1});
  test::WriteAll(dir / "banks.syx.tmp-abcdef", {1});
  AtomicFileWriter running(dir / "banks.syx");
  SaveAllRenumbered(set, dir / "banks.syx");
  std::set<std::string> left = names();
  EXPECT_EQ(left.size(), 5u);
  EXPECT_TRUE(left.count(running.TempPath().filename().string()));
  for (const char* keep : {"banks.syx", ".other.syx.tmp-abcdef", ".banks.syx.tmp-abcdefg", "banks.syx.tmp-abcdef"})
    EXPECT_TRUE(left.count(keep)) << keep;
}

TEST(SoundFiles, OnlyRegularFilesAreReadOrReplacedAndErrorsNameTheCause) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.syx").c_str(), 0600), 0);
  WriteSounds(dir / "locked.syx", {MakeSound("Locked")});
  std::filesystem::permissions(dir / "locked.syx", std::filesystem::perms::none);
  struct Case {
    std::filesystem::path file;
    std::string reason;
  };
  std::vector<Case> cases{{dir.Path(), "Is a directory"},
                          {dir / "fifo.syx", "Is a FIFO"},
                          {"/dev/null", "Is a device"},
                          {dir / "missing.syx", "No such file or directory"}};
  if (geteuid() != 0) cases.push_back({dir / "locked.syx", "Permission denied"});
  alarm(20);  // a FIFO that blocked would hang the test; end it instead
  for (const Case& c : cases) {
    BankSet set;
    const SoundData before = set.Sound(0);
    for (const auto& read : std::vector<std::function<void()>>{
             [&] { LoadSoundFile(set, c.file, 0); }, [&] { LoadSoundFile(set, c.file, kOwnPositions); },
             [&] { CountSoundsInFile(c.file); }, [&] { ReadSoundRecords(c.file); }}) {
      try {
        read();
        ADD_FAILURE() << c.file << " was read";
      } catch (const std::runtime_error& e) {
        // One line: the name, then the cause.
        EXPECT_EQ(std::string(e.what()).rfind(c.file.string() + ": " + c.reason, 0), 0u) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
      }
    }
    EXPECT_EQ(set.Sound(0), before);
  }
  // Saving never replaces a folder, a FIFO or a device by a sound file.
  for (const auto& target : {dir / "fifo.syx", std::filesystem::path("/dev/null"), dir.Path()}) {
    BankSet set;
    EXPECT_THROW(SaveAllRenumbered(set, target), std::runtime_error) << target;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo.syx"));
  alarm(0);
}

}  // namespace
}  // namespace tarvix
