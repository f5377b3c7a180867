#include "library/Settings.h"

#include <gtest/gtest.h>

#include <set>

#include "library/AppPaths.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

struct SettingsFile : ::testing::Test {
  test::TempDir dir;
  std::filesystem::path file = dir / kSettingsFileName;
  MemoryLog log;
  Settings s;

  void Write(const std::string& text) { test::WriteAll(file, {text.begin(), text.end()}); }
  std::string Text() {
    const auto bytes = test::ReadAll(file);
    return {bytes.begin(), bytes.end()};
  }
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndARoundTripKeepsEveryKeyInOrder) {
  s.MIDIDelay = 1;
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s, Settings{});
  s = {"/home/me/My Sounds/bank one.syx", "1", "0", "0", 1, 255, 3, 4, 5, 6, 127,
       "Blofeld MIDI 1", "Waldorf Blofeld", "USB Keys", 65535};
  SaveSettings(file, s);
  Settings back;
  EXPECT_TRUE(LoadSettings(file, back, log));
  EXPECT_EQ(back, s);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(Text(),
            "[Globals]\nAutoloadfile=/home/me/My Sounds/bank one.syx\nSendToEditBuffer=1\nSendToEditBuffer2=0\n"
            "Overwritequestion=0\nToleranceComboBox=1\nToleranceOctave=255\nToleranceKeytrack=3\n"
            "ToleranceOtherKnobs=4\nToleranceSemitoneKnobs=5\nToleranceDetuneKnobs=6\nLibraryAutoImport=1\n\n[Midi]\n"
            "BlofeldDeviceID=127\nMidiInDeviceID=Blofeld MIDI 1\nMidiOutDeviceID=Waldorf Blofeld\n"
            "MidiInDeviceIDKeyboard=USB Keys\nMIDIDelay=65535\nFastRead=1\n");
}

TEST_F(SettingsFile, OddValuesAreKeptAndABadNumberStopsReadingAndIsLogged) {
  Write("[Globals]\nSendToEditBuffer=yes\nOverwritequestion=\n");  // unusual switch text counts as off
  EXPECT_TRUE(LoadSettings(file, s, log));
  SaveSettings(file, s);
  EXPECT_NE(Text().find("SendToEditBuffer=yes\nOverwritequestion=\n"), std::string::npos);

  for (const char* bad : {"256", "-1", "two"}) {
    Write(std::string("[Globals]\nAutoloadfile=a.syx\nToleranceOctave=") + bad +
          "\nToleranceDetuneKnobs=7\n[Midi]\nMIDIDelay=10\n");
    log.lines.clear();
    EXPECT_FALSE(LoadSettings(file, s, log)) << bad;
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("ToleranceOctave"), std::string::npos) << log.lines[0];
    EXPECT_EQ(s.Autoloadfile, "a.syx");  // read before the bad key; it and all later keep their defaults
    EXPECT_TRUE(s.ToleranceOctave == 2 && s.ToleranceDetuneKnobs == 3 && s.MIDIDelay == 250);
  }
  // The device id is read before the Midi names and the delay.
  Write("[Midi]\nBlofeldDeviceID=65536\nMidiOutDeviceID=X\nMIDIDelay=10\n");
  EXPECT_FALSE(LoadSettings(file, s, log));
  EXPECT_EQ(s.MidiOutDeviceID, "");
  Write("[Midi]\nMIDIDelay=65536\n");
  EXPECT_FALSE(LoadSettings(file, s, log));
  EXPECT_EQ(s.MIDIDelay, 250);
  for (const char* bad : {"", "-", "1a", " 1", "0x10", "99999999999999999999", "1.5"})
    EXPECT_FALSE(ParseWholeNumber(bad).has_value()) << bad;
}

TEST_F(SettingsFile, DeviceIdKeysAndAFailedSave) {
  Write("[Midi]\nMidiDeviceID=17\n");
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s.DeviceId, 17);
  Write("[Midi]\nMidiDeviceID=17\nBlofeldDeviceID=5\n");  // the written key wins
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s.DeviceId, 5);
  EXPECT_TRUE(log.lines.empty());

  // Above 127 reads as broadcast, says so, and reading goes on.
  Write("[Midi]\nBlofeldDeviceID=300\nMIDIDelay=40\n");
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_TRUE(s.DeviceId == 127 && s.MIDIDelay == 40);
  EXPECT_EQ(log.lines.size(), 1u);
  EXPECT_THROW(SaveSettings(dir / "no-folder" / kSettingsFileName, Settings{}), std::runtime_error);
}

TEST_F(SettingsFile, KeepsWhatItCouldNotReadAndRewritesOnlyChangedValues) {
  const std::string original =
      "# my notes\n[Globals]\nAutoloadfile=/a.syx\nSendToEditBuffer = 1\nToleranceOctave=300\n"
      "ToleranceDetuneKnobs=7\nMyOwnKey=keep me\n\n[Other]\nx=1\n[Midi]\nMIDIDelay=250ms\nMidiOutDeviceID=Out";
  Write(original);
  EXPECT_FALSE(LoadSettings(file, s, log));
  const Settings asRead = s;
  SaveSettings(file, s, &asRead);  // nothing changed: only the missing keys are added
  const std::string unchanged =
      "# my notes\n[Globals]\nAutoloadfile=/a.syx\nSendToEditBuffer = 1\nToleranceOctave=300\n"
      "ToleranceDetuneKnobs=7\nMyOwnKey=keep me\nSendToEditBuffer2=1\nOverwritequestion=1\nToleranceComboBox=0\n"
      "ToleranceKeytrack=0\nToleranceOtherKnobs=10\nToleranceSemitoneKnobs=0\nLibraryAutoImport=1\n\n[Other]\nx=1\n"
      "[Midi]\nMIDIDelay=250ms\nMidiOutDeviceID=Out\nBlofeldDeviceID=0\nMidiInDeviceID=\nMidiInDeviceIDKeyboard=\n"
      "FastRead=1\n";
  EXPECT_EQ(Text(), unchanged);

  // A value the user changed replaces its line, and only that line.
  s.SendToEditBuffer = "0";
  s.MIDIDelay = 100;
  SaveSettings(file, s, &asRead);
  std::string expected = unchanged;
  expected.replace(expected.find("SendToEditBuffer = 1"), 20, "SendToEditBuffer=0");
  expected.replace(expected.find("MIDIDelay=250ms"), 15, "MIDIDelay=100");
  EXPECT_EQ(Text(), expected);

  // Line endings of a file from elsewhere stay, and new lines follow them.
  Write("[Midi]\r\nMIDIDelay=5\r\n");
  ASSERT_TRUE(LoadSettings(file, s, log));
  const Settings read = s;
  s.MIDIDelay = 6;
  SaveSettings(file, s, &read);
  EXPECT_EQ(Text().substr(0, 21), "[Midi]\r\nMIDIDelay=6\r\n");
  EXPECT_NE(Text().find("\r\n\r\n[Globals]\r\nAutoloadfile=\r\n"), std::string::npos);
}

TEST_F(SettingsFile, AwkwardTextValuesReadBackExactly) {
  // Text values a plain line cannot carry, saved beside a block value the program does not know, and into a file
  // whose reading stops at a NUL byte (changes must go before it).
  const std::string withBlock = "[Globals]\nAutoloadfile=old\nUnknown=<<<END\n[Midi]\nMIDIDelay=1\nEND\n";
  const std::string withNul("[Midi]\nMidiOutDeviceID=Out\0[Globals]\nx=1\n", 41);
  for (const std::string& text : {withBlock, withNul}) {
    for (const char* v : {"<<<", "<<<END", "two\nlines", "ends with a break\n", "\nstarts with one", "\n\n",
                          "a\nEND_OF_TEXT\nb", "END_OF_TEXT", "x\nend_of_text  \nEND_OF_TEXT_2\ny", " edge blanks\t",
                          "[Midi]\nMIDIDelay=0", "/tmp/odd\n<<<END\nEND"}) {
      SCOPED_TRACE(text + " <- " + v);
      Write(text);
      Settings asRead;
      ASSERT_TRUE(LoadSettings(file, asRead, log));
      s = asRead;
      s.Autoloadfile = s.MidiInDeviceIDKeyboard = v;
      SaveSettings(file, s, &asRead);
      Settings back;
      EXPECT_TRUE(LoadSettings(file, back, log));
      EXPECT_EQ(back, s) << Text();
      if (text == withBlock) {
        EXPECT_NE(Text().find("Unknown=<<<END\n[Midi]\nMIDIDelay=1\nEND\n"), std::string::npos);
      }
      const std::string saved = Text();  // saving again without a change keeps the file as it is
      SaveSettings(file, back, &back);
      EXPECT_EQ(Text(), saved);
    }
  }
}

// Where settings, log and sound families go, for every way the program is started.
struct PathCase {
  const char *what, *exe, *cwd, *home, *config, *data, *state;
  std::set<std::string> files;  // files that exist
  PathMode mode;
  const char *dataDir, *settings, *log, *userData;
};

TEST(AppPaths, RulesForEveryWayOfStarting) {
  const PathCase cases[] = {
      {"build tree: beside the executable, log in the working folder", "/src/build", "/src", "/home/u", "", "", "",
       {"/src/build/_initsound.syx"}, PathMode::BuildTree, "/src/build", "/src/build/waldorf_blofeld.ini",
       "/src/blofeld.log", "/src/build"},
      {"installed, XDG unset: defaults below home", "/usr/bin", "/home/u", "/home/u", "", "", "",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix",
       "/home/u/.config/tarvix/waldorf_blofeld.ini", "/home/u/.local/state/tarvix/blofeld.log",
       "/home/u/.local/share/tarvix"},
      {"installed, XDG set", "/opt/t/bin", "/tmp", "/home/u", "/c", "/d", "/s", {"/opt/t/share/tarvix/_initsound.syx"},
       PathMode::Installed, "/opt/t/share/tarvix", "/c/tarvix/waldorf_blofeld.ini", "/s/tarvix/blofeld.log",
       "/d/tarvix"},
      {"installed, relative XDG values are ignored", "/usr/bin", "/w", "/home/u", "rel/c", "rel/d", "./s",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix",
       "/home/u/.config/tarvix/waldorf_blofeld.ini", "/home/u/.local/state/tarvix/blofeld.log",
       "/home/u/.local/share/tarvix"},
      {"installed, no home and no XDG: the working folder", "/usr/bin", "/w", "", "", "", "",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix", "/w/tarvix/waldorf_blofeld.ini",
       "/w/tarvix/blofeld.log", "/w/tarvix"},
      {"installed but settings in the working folder: portable", "/usr/bin", "/music", "/home/u", "/c", "/d", "/s",
       {"/usr/share/tarvix/_initsound.syx", "/music/waldorf_blofeld.ini"}, PathMode::Portable, "/usr/share/tarvix",
       "/music/waldorf_blofeld.ini", "/music/blofeld.log", "/music"},
      {"build tree with settings in the working folder: portable", "/src/build", "/src", "/home/u", "", "", "",
       {"/src/build/_initsound.syx", "/src/waldorf_blofeld.ini", "/src/build/waldorf_blofeld.ini"},
       PathMode::Portable, "/src/build", "/src/waldorf_blofeld.ini", "/src/blofeld.log", "/src"},
      {"both trees present: the one beside the executable wins", "/p/bin", "/w", "/home/u", "", "", "",
       {"/p/bin/_initsound.syx", "/p/share/tarvix/_initsound.syx"}, PathMode::BuildTree, "/p/bin",
       "/p/bin/waldorf_blofeld.ini", "/w/blofeld.log", "/p/bin"},
      {"shipped files nowhere: as from the build tree", "/x/bin", "/w", "/home/u", "", "", "", {}, PathMode::BuildTree,
       "/x/bin", "/x/bin/waldorf_blofeld.ini", "/w/blofeld.log", "/x/bin"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.what);
    PathFacts f{c.exe, c.cwd, c.home, c.config, c.data, c.state,
                [&](const std::filesystem::path& p) { return c.files.count(p.lexically_normal().string()) > 0; }};
    const AppPaths p = ResolveAppPaths(f);
    EXPECT_EQ(PathModeName(p.mode), std::string(PathModeName(c.mode)));
    EXPECT_EQ((std::vector<std::filesystem::path>{p.dataDir, p.settingsFile, p.logFile, p.userDataDir}),
              (std::vector<std::filesystem::path>{c.dataDir, c.settings, c.log, c.userData}));
  }
}

}  // namespace
}  // namespace tarvix
