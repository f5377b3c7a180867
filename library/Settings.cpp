#define SI_NO_CONVERSION
#include "library/Settings.h"

#include <SimpleIni.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "library/AppPaths.h"
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
      {kGlobals, "LibraryAutoImport", &Settings::LibraryAutoImport},
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

// ---- Editing the file's text ---------------------------------------------
// The file is changed line by line so that whatever is not rewritten stays
// byte for byte. The grammar follows the reader (SimpleIni with multi-line
// values): "[Section]", "key=value" with blanks around both trimmed, ";" and
// "#" comment lines, names compared without regard to case, and a value
// "<<<TAG" that takes the following lines up to a line reading TAG.

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

std::string_view RightTrimmed(std::string_view t) {
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A value as it must stand after "key=" to be read back exactly. A plain line
// loses edge blanks, cannot hold a line break, and one that starts with "<<<"
// would be taken for a block; such values become a block whose end tag
// matches none of the value's own lines. (A carriage return inside a value
// is read back as a line break; the reader knows no other way.)
std::string EncodedValue(const std::string& v, const std::string& eol) {
  const bool block = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) ||
                                    v.find_first_of("\r\n") != std::string::npos || v.starts_with("<<<"));
  if (!block) return v;
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0;;) {
    const std::size_t nl = v.find('\n', pos);
    lines.push_back(std::string_view(v).substr(pos, nl == std::string::npos ? std::string::npos : nl - pos));
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
  std::string tag = "END_OF_TEXT";
  auto clashes = [&] {
    for (std::string_view l : lines)
      if (SameName(RightTrimmed(l), tag)) return true;
    return false;
  };
  for (int n = 2; clashes(); ++n) tag = "END_OF_TEXT_" + std::to_string(n);
  std::string out = "<<<" + tag + eol;
  for (std::string_view l : lines) out.append(l).append(eol);
  return out + tag;
}

class IniText {
 public:
  explicit IniText(const std::string& file) {
    // The reader stops at a NUL byte: what follows it is kept as it is, and
    // every line this program writes goes before it, where it will be read.
    const std::size_t nul = file.find('\0');
    const std::string text = file.substr(0, nul);
    if (nul != std::string::npos) tail_ = file.substr(nul);
    // Lines end at "\r\n", "\n" or a lone "\r", as the reader takes them.
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t nl = text.find_first_of("\r\n", pos);
      Line l;
      l.text = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
      std::size_t next = std::string::npos;
      if (nl != std::string::npos) {
        const bool crlf = text.compare(nl, 2, "\r\n") == 0;
        l.end = crlf ? "\r\n" : text.substr(nl, 1);
        next = nl + l.end.size();
      }
      lines_.push_back(std::move(l));
      if (next == std::string::npos) break;
      pos = next;
    }
    if (!lines_.empty() && !lines_.front().end.empty()) eol_ = lines_.front().end;  // new lines match the file's
  }

  bool Has(std::string_view section, std::string_view key) const {
    for (const Entry& e : Scan())
      if (e.isKey && SameName(e.section, section) && SameName(e.key, key)) return true;
    return false;
  }

  // Rewrites every line of the key (a file may hold it twice; the reader then
  // takes one of them, so all get the new value), or adds it at the end of
  // its section, or adds the section at the end of the file.
  void Set(std::string_view section, std::string_view key, const std::string& value) {
    const std::string encoded = std::string(key) + "=" + EncodedValue(value, eol_);
    std::vector<Entry> entries = Scan();
    bool replaced = false;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
      if (!e->isKey || !SameName(e->section, section) || !SameName(e->key, key)) continue;
      const std::string end = lines_[e->last].end;
      lines_.erase(lines_.begin() + static_cast<long>(e->first), lines_.begin() + static_cast<long>(e->last) + 1);
      Insert(e->first, encoded, end);
      replaced = true;
    }
    if (replaced) return;
    CloseOpenBlock();
    entries = Scan();
    std::optional<std::size_t> at;  // after the section's header or its last key
    for (const Entry& e : entries) {
      if (!SameName(e.section, section)) {
        if (at) break;  // only the first block of the section
        continue;
      }
      at = e.last + 1;
    }
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = eol_;
    if (!at) {
      if (!lines_.empty()) lines_.push_back({"", eol_});
      lines_.push_back({"[" + std::string(section) + "]", eol_});
      at = lines_.size();
    }
    Insert(*at, encoded, eol_);
  }

  std::string Text() const {
    std::string out;
    for (const Line& l : lines_) out.append(l.text).append(l.end);
    return out + tail_;
  }

 private:
  struct Line {
    std::string text;
    std::string end;  // "\n", "\r\n", or empty for a last line without one
  };
  // A section header (isKey false) or a key with the lines its value takes.
  struct Entry {
    bool isKey = false;
    std::string section, key;
    std::size_t first = 0, last = 0;
    std::string tag;    // a block value's end tag
    bool open = false;  // a block whose end tag never comes: it runs to the end of the file
  };

  // A block left open swallows every line after it, so nothing can be added
  // behind it until it is closed. Closing keeps its value: the reader takes
  // an open block up to the end of the text, a final line break included
  // (nothing at all when the key line is the last), and drops the line break
  // before an end tag.
  void CloseOpenBlock() {
    const std::vector<Entry> entries = Scan();
    if (entries.empty() || !entries.back().open) return;
    // An end tag right after the key line would not give an empty value:
    // the reader then takes the tag line itself as the value.
    const bool keyLineOnly = entries.back().first + 1 == lines_.size();
    const bool endsWithBreak = !lines_.back().end.empty();
    if (lines_.back().end.empty()) lines_.back().end = eol_;
    // After a lone "\r" a "\n" would join it into one line break.
    if (endsWithBreak || keyLineOnly) lines_.push_back({"", lines_.back().end == "\r" ? "\r" : eol_});
    lines_.push_back({entries.back().tag, eol_});
  }

  std::vector<Entry> Scan() const {
    std::vector<Entry> out;
    std::string section;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string_view t = Trimmed(lines_[i].text);
      if (t.empty() || t.front() == ';' || t.front() == '#') continue;
      if (t.front() == '[') {
        std::size_t header = i;
        std::string_view name = t.substr(1);
        // The reader skips blanks after "[", line breaks included, so the
        // name may stand on a later line.
        if (Trimmed(name).empty()) {
          while (header + 1 < lines_.size() && Trimmed(lines_[header + 1].text).empty()) ++header;
          if (header + 1 == lines_.size()) continue;
          name = Trimmed(lines_[++header].text);
        }
        i = header;
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos) continue;
        section = std::string(Trimmed(name.substr(0, close)));
        out.push_back({false, section, {}, header, header, {}, false});
        continue;
      }
      const std::size_t eq = t.find('=');
      if (eq == std::string_view::npos || Trimmed(t.substr(0, eq)).empty()) continue;
      Entry e{true, section, std::string(Trimmed(t.substr(0, eq))), i, i, {}, false};
      const std::string_view value = Trimmed(t.substr(eq + 1));
      if (value.starts_with("<<<")) {
        // The reader compares the end tag with case.
        e.tag = std::string(value.substr(3));
        while (e.last + 1 < lines_.size() && RightTrimmed(lines_[e.last + 1].text) != e.tag) ++e.last;
        if (e.last + 1 < lines_.size())
          ++e.last;  // the tag line itself
        else
          e.open = true;
        i = e.last;
      }
      out.push_back(std::move(e));
    }
    return out;
  }

  // Inserts `text` (which may span lines) at line `at`; its last line ends with `end`.
  void Insert(std::size_t at, const std::string& text, const std::string& end) {
    std::vector<Line> add;
    for (std::size_t pos = 0;;) {
      const std::size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) {
        add.push_back({text.substr(pos), end});
        break;
      }
      std::string l = text.substr(pos, nl - pos);
      if (!l.empty() && l.back() == '\r') l.pop_back();
      add.push_back({std::move(l), eol_});
      pos = nl + 1;
    }
    lines_.insert(lines_.begin() + static_cast<long>(at), add.begin(), add.end());
  }

  std::vector<Line> lines_;
  std::string tail_;  // from a NUL byte on
  std::string eol_ = "\n";
};

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
  ini.SetMultiLine(true);  // values that span lines (see EncodedValue)
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

std::string SettingsText(const Settings& s, const std::string& original, const Settings* asRead) {
  IniText ini(original);
  // A key is written when the user changed it this run or the file lacks it;
  // otherwise the file's own line stays, whatever it holds.
  auto put = [&](const char* section, const char* name, const std::string& value, bool changed) {
    if (changed || !asRead || !ini.Has(section, name)) ini.Set(section, name, value);
  };
  auto putKey = [&](const Key& k) {
    if (k.text)
      put(k.section, k.name, s.*k.text, asRead && s.*k.text != asRead->*k.text);
    else
      put(k.section, k.name, std::to_string(s.*k.number), asRead && s.*k.number != asRead->*k.number);
  };
  for (const Key& k : GlobalKeys()) putKey(k);
  const bool idChanged = !asRead || s.DeviceId != asRead->DeviceId;
  if (idChanged || !(ini.Has(kMidi, kDeviceIdKey) || ini.Has(kMidi, kOldDeviceIdKey)))
    ini.Set(kMidi, kDeviceIdKey, std::to_string(s.DeviceId));
  for (const Key& k : MidiKeys()) putKey(k);
  return ini.Text();
}

void SaveSettings(const std::filesystem::path& file, const Settings& settings, const Settings* asRead) {
  std::string original;
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    // What is in the file now is the base; a file that cannot be read is
    // never replaced, or everything in it would be lost.
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    const bool regular = std::filesystem::is_regular_file(file, ec);
    if (in && regular) text << in.rdbuf();
    if (!in || !regular || in.bad())
      throw std::runtime_error("Settings: cannot read " + file.string() + ", so it is left as it is");
    original = text.str();
  }
  WriteFileAtomically(file, SettingsText(settings, original, asRead));
}

std::filesystem::path DefaultSettingsFile() { return ProcessPaths().settingsFile; }

}  // namespace tarvix
