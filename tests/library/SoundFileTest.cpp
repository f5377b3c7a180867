// Loading and saving sound files, and saves under faults: killed writers, a full disk, an unwritable log.
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <thread>

#include "library/AtomicFile.h"
#include "library/Log.h"
#include "library/SoundFile.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> n;
  for (const auto& e : fs::directory_iterator(dir)) n.insert(e.path().filename().string());
  return n;
}

// Temporary files a save to `name` leaves in its folder.
int Temporaries(const fs::path& dir, const std::string& name) {
  int n = 0;
  for (const auto& f : Names(dir)) n += f.starts_with("." + name + ".tmp-");
  return n;
}

TEST(LoadSoundFile, ChosenOrOwnPositionsOddSizesAndNoise) {
  TempDir dir;
  WriteSounds(dir / "three.syx", {MakeSound("One", 13), MakeSound("Two", 3), MakeSound("Three", 0xFF)});
  BankSet set;
  set.SetChanged(1022);
  set.SetChanged(5);
  set.SelectionList = {1, 2};
  const LoadResult r = LoadSoundFile(set, dir / "three.syx", 1022);  // H127
  EXPECT_TRUE(r.stored == 3 && r.fileName == "three.syx");
  EXPECT_TRUE(!set.Changed(1022) && set.Changed(5));  // slots the file does not address keep their flags
  EXPECT_TRUE(set.SelectionList.empty());
  // At the records' own positions a record naming no slot stops the read.
  for (const auto& bad : {MakeSound("Bad", 0, 8, 0), MakeSound("Bad", 0, 7, 128)}) {
    WriteSounds(dir / "bad.syx", {bad});
    EXPECT_THROW(LoadSoundFile(set, dir / "bad.syx", kOwnPositions), std::runtime_error);
  }
}

TEST(SaveSounds, SelectedSeparateAndAllAskBeforeReplacingAndHonourCancel) {
  TempDir dir;
  BankSet set;
  set.Sound(3) = MakeSound("Three", 1, 5, 6);
  set.Sound(7) = MakeSound("Empty", 0xFF);
  set.Sound(9) = MakeSound("Nine", 2);
  set.SetChanged(3);
  SelectOnly(set, {9, 3, 7});
  ScriptedPrompter p;
  p.saveName = (dir / "sel.syx").string();
  ASSERT_TRUE(SaveSelectedSounds(set, p).has_value());
  EXPECT_EQ(ReadSoundRecords(dir / "sel.syx"), (std::vector<SoundData>{set.Sound(3), set.Sound(9)}));
  EXPECT_TRUE(set.Changed(3));  // writing never clears the flag

  SelectOnly(set, {9});  // an existing file: No keeps it, Yes replaces it
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

  // Separate files are named after the slot.
  SelectOnly(set, {0, 128});
  p.saveName = (dir / "x.syx").string();
  const auto files = SaveSeparateFiles(set, p);
  ASSERT_EQ(files, (std::vector<fs::path>{dir / "x.syx1.syx", dir / "x.syx129.syx"}));
  EXPECT_EQ(ReadAll(files[1]).size(), kSoundSize);

  // Both exist now: Cancel at the first question writes neither; No skips.
  std::filesystem::remove(files[1]);
  p.answers = {Answer::Cancel};
  EXPECT_TRUE(SaveSeparateFiles(set, p).empty());
  p.answers = {Answer::No};
  EXPECT_EQ(SaveSeparateFiles(set, p), std::vector<std::filesystem::path>{files[1]});

  SelectOnly(set, {5});  // one row selected: "Select all?" No writes just that one
  p.asked.clear();
  p.answers = {Answer::No};
  EXPECT_EQ(SaveSeparateFiles(set, p).size(), 1u);
  EXPECT_EQ(p.asked.front(), "Select all?");

  // Save all stamps the positions, writes every slot and reads back.
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("N" + std::to_string(i), i % 13, 3, 3);
  set.Sound(5) = MakeSound("Empty", 0xFF);
  SaveAllRenumbered(set, dir / "all.syx");
  BankSet back;
  LoadSoundFile(back, dir / "all.syx", kOwnPositions);
  for (int i = 0; i < kSlotCount; ++i) EXPECT_EQ(GetSoundName(back, i), GetSoundName(set, i));
}

TEST(AtomicWrites, SavingThroughALinkReplacesTheLinkedFileAndKeepsTheLink) {
  TempDir dir;
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
    EXPECT_EQ(ReadSoundRecords(dir / c.file), std::vector<SoundData>{sound}) << c.link;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "store"), fs::directory_iterator()), 2);  // no litter
  fs::create_symlink("loop2.syx", dir / "loop1.syx");
  fs::create_symlink("loop1.syx", dir / "loop2.syx");
  const SoundData sound = MakeSound("Loop");
  EXPECT_THROW(WriteSoundRecords(dir / "loop1.syx", {&sound}), std::runtime_error);
}

TEST(AtomicWrites, KilledSavesLeaveTheOldOrTheNewFileWholeAndTheNextSaveClearsLeftovers) {
  TempDir dir;
  const fs::path file = dir / "sounds.syx";
  // Two versions of different sizes and content: a torn file matches neither.
  const std::vector<std::uint8_t> older(3000, 'a'), newer(7000, 'b');
  WriteFileAtomically(file, older);
  std::mt19937 random(12345);
  for (int round = 0; round < 150; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << std::strerror(errno);
    if (child == 0) {  // saves the two versions in turn until killed; never returns into the test runner
      try {
        for (unsigned i = 0;; ++i) WriteFileAtomically(file, i % 2 ? older : newer);
      } catch (...) {
      }
      ::_exit(3);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself";
    const auto now = ReadAll(file);
    ASSERT_TRUE(now == older || now == newer) << "round " << round << ": a torn file of " << now.size() << " bytes";
    WriteFileAtomically(file, round % 2 ? older : newer);  // the next save removes what the killed one left
    ASSERT_EQ(Temporaries(dir.Path(), "sounds.syx"), 0) << "round " << round;
  }

  // Files that only look alike stay, and so does the file of a save still running.
  BankSet set;
  for (const char* other : {".other.syx.tmp-abcdef", ".sounds.syx.tmp-abcdefg", "sounds.syx.tmp-abcdef"})
    test::WriteAll(dir / other, {1});
  auto expected = Names(dir.Path());
  AtomicFileWriter running(dir / "sounds.syx");
  expected.insert(running.TempPath().filename().string());
  SaveAllRenumbered(set, dir / "sounds.syx");
  EXPECT_EQ(Names(dir.Path()), expected);
  // An unwritable or missing folder: a clear error, the old file untouched.
  const auto old = ReadAll(file);
  if (geteuid() != 0) {  // root ignores permissions
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(SaveAllRenumbered(set, file), std::runtime_error);
    fs::permissions(dir.Path(), fs::perms::owner_all);
  }
  EXPECT_THROW(SaveAllRenumbered(set, dir / "no/such/folder/x.syx"), std::runtime_error);
  EXPECT_EQ(ReadAll(file), old);
}

TEST(AtomicWrites, AFullDiskKeepsTheOldFileAndSaysWhy) {
  if (::geteuid() != 0) GTEST_SKIP() << "the full-disk test mounts a small tmpfs, which needs root";
  TempDir dir;
  fs::create_directory(dir / "disk");
  if (::mount("tarvix-test", (dir / "disk").c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{dir / "disk"};
  const fs::path file = dir / "disk/pads.syx";
  const std::vector<std::uint8_t> old(8000, 'o');
  WriteFileAtomically(file, old);
  std::FILE* filler = std::fopen((dir / "disk/filler").c_str(), "wb");  // fill what is left
  ASSERT_NE(filler, nullptr);
  const std::string block(4096, 'f');
  while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
  }
  std::fclose(filler);
  // A large save fails while writing; a single sound fails only at the flush, which must come before the rename.
  for (std::size_t size : {40000, 392}) {
    SCOPED_TRACE(size);
    try {
      WriteFileAtomically(file, std::vector<std::uint8_t>(size, 'n'));
      ADD_FAILURE() << "a save to a full disk reported success";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(file.string() + ": " + std::strerror(ENOSPC)), std::string::npos)
          << e.what();
    }
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(Temporaries(dir / "disk", "pads.syx"), 0);
  }
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
  std::vector<Case> cases{{dir.Path(), "Is a directory"}, {dir / "fifo.syx", "Is a FIFO"}, {"/dev/null", "Is a device"},
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

TEST(FileLog, AFailureIsReportedOnceAndNeverThrows) {
  TempDir dir;
  fs::create_directory(dir / "log");  // a folder where the file should be: never writable
  FileLog log(dir / "log");
  std::vector<std::string> memo;
  log.AddListener([&](const std::string& line) { memo.push_back(line); });
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(log.LogMessage("line " + std::to_string(i)));
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string note = "Cannot write the log file " + (dir / "log").string();
  EXPECT_EQ(memo, (std::vector<std::string>{"line 0", note + ": Is a directory; log lines are shown in the window only",
                                            "line 1", "line 2"}));
  EXPECT_EQ(err, "tarvix: " + memo[1] + "\n");
  // Writable again, then a FIFO nobody reads: the program is not blocked, and the new failure is reported anew.
  fs::remove(dir / "log");
  log.LogMessage("ok");
  fs::remove(dir / "log");
  ASSERT_EQ(::mkfifo((dir / "log").c_str(), 0600), 0);
  alarm(20);
  testing::internal::CaptureStderr();
  log.LogMessage("not stuck");
  testing::internal::GetCapturedStderr();
  alarm(0);
  EXPECT_EQ(memo.back(), note + ": No such device or address; log lines are shown in the window only");
}

}  // namespace
}  // namespace tarvix
