#define SI_NO_CONVERSION
#include "library/Settings.h"

#include <SimpleIni.h>

#include <cerrno>
#include <charconv>
#include <functional>
#include <stdexcept>
#include <vector>

#include "library/AtomicFile.h"
#include "library/InitSound.h"

namespace tarvix {

namespace {

constexpr const char* kGlobals = "Globals";
constexpr const char* kMidi = "Midi";
// The device id is written under one key; files from older set-ups carry it
// under the second, which is read only when the first is missing.
constexpr const char* kDeviceIdKey = "BlofeldDeviceID";
constexpr const char* kOldDeviceIdKey = "MidiDeviceID";
constexpr int kMaxDeviceId = 127;

// One key of the file: how to read it into and write it from the struct.
struct Key {
  const char* section;
  const char* name;
  std::string Settings::*text = nullptr;  // text keys
  int Settings::*number = nullptr;         // number keys
  long long max = 0;                       // number keys: 0..max
};

const std::vector<Key>& GlobalKeys() {
  static const std::vector<Key> keys = {
      {kGlobals, "Autoloadfile", &Settings::Autoloadfile},
      {kGlobals, "SendToEditBuffer", &Settings::SendToEditBuffer},
      {kGlobals, "SendToEditBuffer2", &Settings::SendToEditBuffer2},
      {kGlobals, "Overwritequestion", &Settings::Overwritequestion},
      {kGlobals, "ToleranceComboBox", nullptr, &Settings::ToleranceComboBox, 255},
      {kGlobals, "ToleranceOctave", nullptr, &Settings::ToleranceOctave, 255},
      {kGlobals, "ToleranceKeytrack", nullptr, &Settings::ToleranceKeytrack, 255},
      {kGlobals, "ToleranceOtherKnobs", nullptr, &Settings::ToleranceOtherKnobs, 255},
      {kGlobals, "ToleranceSemitoneKnobs", nullptr, &Settings::ToleranceSemitoneKnobs, 255},
      {kGlobals, "ToleranceDetuneKnobs", nullptr, &Settings::ToleranceDetuneKnobs, 255},
  };
  return keys;
}

// The Midi keys after the device id.
const std::vector<Key>& MidiKeys() {
  static const std::vector<Key> keys = {
      {kMidi, "MidiInDeviceID", &Settings::MidiInDeviceID},
      {kMidi, "MidiOutDeviceID", &Settings::MidiOutDeviceID},
      {kMidi, "MidiInDeviceIDKeyboard", &Settings::MidiInDeviceIDKeyboard},
      {kMidi, "MIDIDelay", nullptr, &Settings::MIDIDelay, 65535},
      {kMidi, "FastRead", nullptr, &Settings::FastRead, 1},
  };
  return keys;
}

// Reads one number key. Missing or empty: nullopt (the default stays).
// Not a number or out of 0..max: throws with the key and the value.
std::optional<int> ReadNumber(const CSimpleIniCaseA& ini, const char* section, const char* name, long long max) {
  const char* raw = ini.GetValue(section, name, nullptr);
  if (raw == nullptr || *raw == '\0') return std::nullopt;
  const auto n = ParseWholeNumber(raw);
  if (!n) throw std::runtime_error(std::string("Settings: \"") + raw + "\" is not a valid number for " + name);
  if (*n < 0 || *n > max)
    throw std::runtime_error(std::string("Settings: ") + name + " = " + raw + " is out of range 0.." +
                             std::to_string(max));
  return static_cast<int>(*n);
}

void ReadKey(const CSimpleIniCaseA& ini, const Key& key, Settings& out) {
  if (key.text) {
    if (const char* v = ini.GetValue(key.section, key.name, nullptr)) out.*key.text = v;
    return;
  }
  if (const auto n = ReadNumber(ini, key.section, key.name, key.max)) out.*key.number = *n;
}

void ReadDeviceId(const CSimpleIniCaseA& ini, Settings& out, Log& log) {
  const char* name = ini.GetValue(kMidi, kDeviceIdKey, nullptr) ? kDeviceIdKey : kOldDeviceIdKey;
  const auto n = ReadNumber(ini, kMidi, name, 65535);
  if (!n) return;
  if (*n > kMaxDeviceId) {
    // Messages carry one 7-bit device byte; the nearest meaningful value is
    // broadcast, which every instrument answers.
    log.LogMessage("Settings: device id " + std::to_string(*n) + " is above 127, using 127 (Broadcast)");
    out.DeviceId = kMaxDeviceId;
    return;
  }
  out.DeviceId = *n;
}

}  // namespace

std::optional<long long> ParseWholeNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t pos = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    pos = 1;
  }
  if (pos == text.size()) return std::nullopt;
  long long value = 0;
  const auto* first = text.data() + pos;
  const auto* last = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return negative ? -value : value;
}

bool LoadSettings(const std::filesystem::path& file, Settings& out, Log& log) {
  out = Settings{};
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return true;

  CSimpleIniCaseA ini;
  ini.SetSpaces(false);
  ini.SetMultiLine(true);  // see SettingsText
  if (ini.LoadFile(file.string().c_str()) < 0) {
    log.LogMessage("Settings: cannot read " + file.string() + ", using defaults");
    return true;
  }

  Settings read;  // starts with every default; keys after a bad one keep them
  try {
    for (const Key& k : GlobalKeys()) ReadKey(ini, k, read);
    ReadDeviceId(ini, read, log);
    for (const Key& k : MidiKeys()) ReadKey(ini, k, read);
  } catch (const std::exception& e) {
    log.LogMessage(e.what());
    out = read;
    return false;
  }
  out = read;
  return true;
}

std::string SettingsText(const Settings& s) {
  CSimpleIniCaseA ini;
  ini.SetSpaces(false);
  // A file name may hold a line break (or edge blanks); written plainly it
  // would split into a stray line that corrupts the file. Such values are
  // written as a multi-line block, which reading takes back whole.
  ini.SetMultiLine(true);
  auto put = [&](const Key& k) {
    const std::string v = k.text ? s.*k.text : std::to_string(s.*k.number);
    ini.SetValue(k.section, k.name, v.c_str());
  };
  for (const Key& k : GlobalKeys()) put(k);
  ini.SetValue(kMidi, kDeviceIdKey, std::to_string(s.DeviceId).c_str());
  for (const Key& k : MidiKeys()) put(k);
  std::string text;
  if (ini.Save(text) < 0) throw std::runtime_error("Settings: cannot format the settings");
  return text;
}

void SaveSettings(const std::filesystem::path& file, const Settings& settings) {
  WriteFileAtomically(file, SettingsText(settings));
}

std::filesystem::path DefaultSettingsFile() { return ProgramDirectory() / kSettingsFileName; }

}  // namespace tarvix
