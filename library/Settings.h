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
  // Globals, added later (kept last so the order above stays as it was)
  std::string LibraryAutoImport = "1";  // add loaded files and read sounds to the sound library

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

// Writes the settings to the file atomically, changing as little of it as
// possible. With `asRead` (the values LoadSettings gave), a key is rewritten
// only when its value differs from what was read, and keys missing from the
// file are added; every other line stays as it stood: keys and sections this
// program does not know, comments, and values it could not read, so the user
// can still correct them. Without `asRead` every key is written. Throws
// std::runtime_error naming the file when the existing file cannot be read
// (it is then left alone) or the new one cannot be written.
void SaveSettings(const std::filesystem::path& file, const Settings& settings,
                  const Settings* asRead = nullptr);

// The text SaveSettings writes over `original` (the file's current text).
std::string SettingsText(const Settings& settings, const std::string& original = {},
                         const Settings* asRead = nullptr);

// "waldorf_blofeld.ini" where this process keeps its settings (AppPaths.h).
std::filesystem::path DefaultSettingsFile();

}  // namespace tarvix
