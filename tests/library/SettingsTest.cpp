#include "library/Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

TEST(Settings, MissingFileGivesDefaults) {
  test::TempDir dir;
  MemoryLog log;
  Settings s;
  s.MIDIDelay = 1;
  EXPECT_TRUE(LoadSettings(dir / "none.ini", s, log));
  EXPECT_EQ(s.MIDIDelay, 250);
  EXPECT_EQ(s.SendToEditBuffer, "0");
  EXPECT_TRUE(IsOn(s.SendToEditBuffer2));
  EXPECT_TRUE(IsOn(s.Overwritequestion));
  EXPECT_EQ(s.Autoloadfile, "");
  EXPECT_EQ(s.DeviceId, 0);
  EXPECT_EQ((std::vector<int>{s.ToleranceComboBox, s.ToleranceOctave, s.ToleranceKeytrack, s.ToleranceOtherKnobs,
                              s.ToleranceSemitoneKnobs, s.ToleranceDetuneKnobs}),
            (std::vector<int>{0, 2, 0, 10, 0, 3}));
  EXPECT_TRUE(log.lines.empty());
}

TEST(Settings, RoundTripKeepsEveryKeyInOrderWithBlanks) {
  test::TempDir dir;
  Settings s;
  s.Autoloadfile = "/home/me/My Sounds/bank one.syx";
  s.SendToEditBuffer = "1";
  s.SendToEditBuffer2 = "0";
  s.Overwritequestion = "0";
  s.ToleranceComboBox = 1;
  s.ToleranceOctave = 255;
  s.ToleranceKeytrack = 3;
  s.ToleranceOtherKnobs = 4;
  s.ToleranceSemitoneKnobs = 5;
  s.ToleranceDetuneKnobs = 6;
  s.DeviceId = 127;
  s.MidiInDeviceID = "Blofeld MIDI 1";
  s.MidiOutDeviceID = "Waldorf Blofeld";
  s.MidiInDeviceIDKeyboard = "USB Keys";
  s.MIDIDelay = 65535;
  const auto file = dir / kSettingsFileName;
  SaveSettings(file, s);

  MemoryLog log;
  Settings back;
  EXPECT_TRUE(LoadSettings(file, back, log));
  EXPECT_EQ(back, s);
  EXPECT_TRUE(log.lines.empty());

  // Keys in table order, the device id first in "Midi", "key=value" with the
  // blank inside a value kept.
  const std::string text = ReadText(file);
  const char* order[] = {"[Globals]", "Autoloadfile=/home/me/My Sounds/bank one.syx", "SendToEditBuffer=1",
                         "SendToEditBuffer2=0", "Overwritequestion=0", "ToleranceComboBox=1", "ToleranceOctave=255",
                         "ToleranceKeytrack=3", "ToleranceOtherKnobs=4", "ToleranceSemitoneKnobs=5",
                         "ToleranceDetuneKnobs=6", "[Midi]", "BlofeldDeviceID=127", "MidiInDeviceID=Blofeld MIDI 1",
                         "MidiOutDeviceID=Waldorf Blofeld", "MidiInDeviceIDKeyboard=USB Keys", "MIDIDelay=65535"};
  std::size_t pos = 0;
  for (const char* line : order) {
    const auto at = text.find(std::string(line) + "\n", pos);
    ASSERT_NE(at, std::string::npos) << line << " missing or out of order in:\n" << text;
    pos = at + 1;
  }
  // Saving over an existing file replaces it whole (no stale keys kept).
  Settings plain;
  SaveSettings(file, plain);
  EXPECT_EQ(ReadText(file).find("bank one"), std::string::npos);
}

TEST(Settings, UnusualSwitchTextCountsAsOffAndIsWrittenBack) {
  test::TempDir dir;
  const auto file = dir / "s.ini";
  WriteText(file, "[Globals]\nSendToEditBuffer=yes\nOverwritequestion=\n");
  MemoryLog log;
  Settings s;
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_FALSE(IsOn(s.SendToEditBuffer));
  EXPECT_FALSE(IsOn(s.Overwritequestion));  // present but empty: read as empty, off
  SaveSettings(file, s);
  const std::string text = ReadText(file);
  EXPECT_NE(text.find("SendToEditBuffer=yes\n"), std::string::npos);
  EXPECT_NE(text.find("Overwritequestion=\n"), std::string::npos);
}

TEST(Settings, BadNumberStopsReadingAndIsLogged) {
  test::TempDir dir;
  const auto file = dir / "s.ini";
  struct Case {
    std::string text;
    std::string badKey;
  };
  const Case cases[] = {
      {"[Globals]\nAutoloadfile=a.syx\nToleranceOctave=256\nToleranceDetuneKnobs=7\n[Midi]\nMIDIDelay=10\n",
       "ToleranceOctave"},
      {"[Globals]\nAutoloadfile=a.syx\nToleranceOctave=-1\nToleranceDetuneKnobs=7\n[Midi]\nMIDIDelay=10\n",
       "ToleranceOctave"},
      {"[Globals]\nAutoloadfile=a.syx\nToleranceOctave=two\nToleranceDetuneKnobs=7\n[Midi]\nMIDIDelay=10\n",
       "ToleranceOctave"},
  };
  for (const Case& c : cases) {
    WriteText(file, c.text);
    MemoryLog log;
    Settings s;
    EXPECT_FALSE(LoadSettings(file, s, log)) << c.text;
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find(c.badKey), std::string::npos) << log.lines[0];
    EXPECT_EQ(s.Autoloadfile, "a.syx");   // read before the bad key
    EXPECT_EQ(s.ToleranceOctave, 2);      // the bad key keeps its default
    EXPECT_EQ(s.ToleranceDetuneKnobs, 3); // later keys are not read
    EXPECT_EQ(s.MIDIDelay, 250);
  }

  // A device id beyond 65535 stops before the Midi names and the delay.
  WriteText(file, "[Midi]\nBlofeldDeviceID=65536\nMidiOutDeviceID=X\nMIDIDelay=10\n");
  MemoryLog log;
  Settings s;
  EXPECT_FALSE(LoadSettings(file, s, log));
  EXPECT_EQ(s.MidiOutDeviceID, "");
  EXPECT_EQ(s.MIDIDelay, 250);
  EXPECT_EQ(log.lines.size(), 1u);

  WriteText(file, "[Midi]\nMIDIDelay=65536\n");
  EXPECT_FALSE(LoadSettings(file, s, log));
  EXPECT_EQ(s.MIDIDelay, 250);
}

TEST(Settings, DeviceIdKeys) {
  test::TempDir dir;
  const auto file = dir / "s.ini";
  MemoryLog log;
  Settings s;

  WriteText(file, "[Midi]\nMidiDeviceID=17\n");
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s.DeviceId, 17);

  // The key the program writes wins over the older one.
  WriteText(file, "[Midi]\nMidiDeviceID=17\nBlofeldDeviceID=5\n");
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s.DeviceId, 5);
  EXPECT_TRUE(log.lines.empty());

  // Above 127 reads as broadcast and says so; reading goes on.
  WriteText(file, "[Midi]\nBlofeldDeviceID=300\nMIDIDelay=40\n");
  EXPECT_TRUE(LoadSettings(file, s, log));
  EXPECT_EQ(s.DeviceId, 127);
  EXPECT_EQ(s.MIDIDelay, 40);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("127"), std::string::npos);

  SaveSettings(file, s);
  const std::string text = ReadText(file);
  EXPECT_NE(text.find("BlofeldDeviceID=127\n"), std::string::npos);
  EXPECT_EQ(text.find("MidiDeviceID"), std::string::npos);
}

TEST(Settings, SaveFailureThrowsAndLeavesNoFile) {
  test::TempDir dir;
  const auto file = dir / "missing-folder" / kSettingsFileName;
  EXPECT_THROW(SaveSettings(file, Settings{}), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Settings, ParseWholeNumber) {
  EXPECT_EQ(ParseWholeNumber("250"), 250);
  EXPECT_EQ(ParseWholeNumber("-3"), -3);
  EXPECT_EQ(ParseWholeNumber("+7"), 7);
  for (const char* bad : {"", "-", "1a", " 1", "1 ", "0x10", "99999999999999999999", "1.5"})
    EXPECT_FALSE(ParseWholeNumber(bad).has_value()) << bad;
}

}  // namespace
}  // namespace tarvix
