#pragma once
// The program's settings as kept in "waldorf_blofeld.ini" beside the
// executable: section "Globals" (autoload file, list switches, schema
// tolerances) and section "Midi" (device names, device id, MIDI delay).
// The switches stay texts: "1" means on, any other text means off, and an
// unusual text read from the file is written back as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "library/Log.h"

namespace tarvix {

inline constexpr const char* kSettingsFileName = "waldorf_blofeld.ini";

struct Settings {
  // Globals
  std::string Autoloadfile;
  std::string SendToEditBuffer = "0";
  std::string SendToEditBuffer2 = "1";
  std::string Overwritequestion = "1";
  int ToleranceComboBox = 0;
  int ToleranceOctave = 2;
  int ToleranceKeytrack = 0;
  int ToleranceOtherKnobs = 10;
  int ToleranceSemitoneKnobs = 0;
  int ToleranceDetuneKnobs = 3;
  // Midi
  int DeviceId = 0;  // 0..127, 127 = broadcast
  std::string MidiInDeviceID;
  std::string MidiOutDeviceID;
  std::string MidiInDeviceIDKeyboard;
  int MIDIDelay = 250;
  int FastRead = 1;  // 1: reads ask for the next sound as soon as a reply is stored

  bool operator==(const Settings&) const = default;
};

// A switch text counts as on only when it is exactly "1".
inline bool IsOn(const std::string& value) { return value == "1"; }
inline std::string SwitchText(bool on) { return on ? "1" : "0"; }

// A whole decimal number with an optional sign and nothing else (no blanks,
// no hex); nullopt for anything else, including numbers beyond 64 bits.
std::optional<long long> ParseWholeNumber(std::string_view text);

// Reads the settings file into `out`, key by key in file-table order. A
// missing file leaves every default. A number that is not a number or lies
// outside its range stops reading at that key: the reason is logged, that key
// and every later one keep their defaults, and false is returned — the caller
// then skips the autoload file and the rest of its start-up reading.
bool LoadSettings(const std::filesystem::path& file, Settings& out, Log& log);

// Writes every key, in table order, to the file atomically. Throws
// std::runtime_error naming the file when it cannot be written.
void SaveSettings(const std::filesystem::path& file, const Settings& settings);

// The text SaveSettings writes, for callers that want to show or compare it.
std::string SettingsText(const Settings& settings);

// "waldorf_blofeld.ini" in the program's folder.
std::filesystem::path DefaultSettingsFile();

}  // namespace tarvix
