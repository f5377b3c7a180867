#pragma once
// The sound library: every sound the program has seen, kept in an SQLite file
// so a musician can find one among a hundred thousand while typing.
//
// A library sound is one parameter content, keyed on its fingerprint: the
// same sound stored under other names, in other files or slots is one
// library sound with several names and several sightings. A sighting is a
// source (a file's absolute path, or "instrument") and a record index (the
// record number in the file, or the slot 0..1023), with the time it was first
// seen. Importing a source again adds nothing that is already known.
//
// One SoundLibrary is one connection: use it from one thread at a time. Other
// threads open their own; the file is in WAL mode, so readers never wait for
// an import. Every import of a source is one transaction: a crash or a kill
// in the middle leaves the file as it was before that source.
//
// Errors are LibraryError with a sentence a musician can act on. A file that
// is not a library, is damaged, or comes from a newer program is refused and
// never written to.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "library/Fingerprint.h"
#include "library/SoundData.h"

namespace tarvix {

class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure of the library file itself (refused, damaged, unwritable, full),
// as opposed to a file being imported: an import of many files stops at it.
class LibraryFileError : public LibraryError {
 public:
  using LibraryError::LibraryError;
};

// The source name of sounds read from the instrument; the index is the slot,
// or kEditBufferIndex for a sound fetched from the edit buffer.
inline constexpr const char* kInstrumentSource = "instrument";
inline constexpr int kEditBufferIndex = -1;
inline constexpr const char* kLibraryFileName = "library.db";

struct Sighting {
  std::string source;  // absolute file path, or kInstrumentSource
  int index = 0;       // record number in the file (from 0), slot 0..1023, or kEditBufferIndex
  std::int64_t seen = 0;  // first seen, seconds since 1970 (UTC)
};

struct SeenName {
  std::string name;  // as stored in the dump, Latin-1 turned into UTF-8, trailing blanks trimmed
  std::uint8_t category = 0;
  std::int64_t firstSeen = 0;
};

// One row of a search result: what a list of library sounds shows.
struct LibraryEntry {
  std::int64_t id = 0;
  std::string name;           // the first name seen
  std::uint8_t category = 0;  // the category first seen with
  std::int64_t firstSeen = 0;
  int sightingCount = 0;
  bool favourite = false;
  Fingerprint fingerprint;
};

// Everything known about one library sound.
struct LibrarySound : LibraryEntry {
  SoundData sound;                  // the dump as first seen (its name and category included)
  std::vector<SeenName> names;      // every name/category seen, oldest first
  std::vector<Sighting> sightings;  // oldest first
  std::vector<std::string> tags;    // sorted
};

// One sound of a source and its place there.
struct ImportRecord {
  SoundData sound;
  int index = 0;
};

struct ImportReport {
  int read = 0;          // sound dumps read
  int added = 0;         // of those, sounds the library did not hold
  int known = 0;         // of those, sounds it held already
  int newSightings = 0;  // places not seen before
  int files = 0;         // files read
  // One line per file, or part of a file, that was skipped and why.
  std::vector<std::string> problems;

  ImportReport& operator+=(const ImportReport& other);
  // "N sounds read, M new, K already known"
  std::string Summary() const;
};

// A condition on one editor parameter: "cmbShape1=Saw", "Osc1 Shape=Saw",
// "KnobFilter1Cutoff=64". The name is a control name of the parameter map
// or its group and label ("Filter 1 Cutoff", "Oscillator" may be written
// "Osc"), compared without case and blanks. The value is a list entry or
// LED text (On/Off) as the editor shows it, a knob's caption, or a number.
struct ParameterCondition {
  std::size_t control = 0;   // index into ParameterMap
  std::optional<int> value;  // the decoded value asked for
  std::string text;          // the text asked for, when it is not a plain number

  bool Matches(const SoundData& sound) const;
};
// Throws LibraryError naming what is unknown.
ParameterCondition ParseParameterCondition(std::string_view condition);

struct LibraryQuery {
  std::string text;  // case-insensitive substring of any name seen; empty matches all
  std::optional<std::uint8_t> category;  // any category the sound was seen with
  std::vector<ParameterCondition> where;
  bool favouritesOnly = false;
  std::string tag;  // only sounds with this tag, when not empty
  int limit = 0;    // 0: no limit
};

struct SimilarSound {
  LibraryEntry entry;
  double distance = 0;  // 0 equal parameters .. 1 every parameter at the far end
};

// The distance Similar ranks by; exposed for tests and tools.
double SoundDistance(const SoundData& a, const SoundData& b);

class SoundLibrary {
 public:
  static constexpr int kSchemaVersion = 1;

  // The library file of this process: "library.db" in the user's data folder
  // (beside the settings in portable mode).
  static std::filesystem::path DefaultFile();

  // Opens the library, creating it (and its folder) when the file does not
  // exist. Throws LibraryError when the file is no library, is damaged, or
  // was written by a newer version; the file is then left as it was.
  explicit SoundLibrary(const std::filesystem::path& file);
  ~SoundLibrary();
  SoundLibrary(const SoundLibrary&) = delete;
  SoundLibrary& operator=(const SoundLibrary&) = delete;

  const std::filesystem::path& File() const;

  // Adds the records of one source in one transaction. Records that are not
  // sound dumps are skipped and named in the report's problems.
  ImportReport Import(std::string_view source, std::span<const ImportRecord> records);
  // A SysEx or MIDI file (the source is its absolute path). A damaged file
  // adds the dumps that could be read and names what was skipped.
  ImportReport ImportFile(const std::filesystem::path& file);
  // Files, and folders recursively (files with other endings than .syx and
  // .mid/.midi are passed over). Files that cannot be read are problems;
  // the others are still imported. `progress` is called after each file.
  ImportReport ImportPaths(const std::vector<std::filesystem::path>& paths,
                           const std::function<void(const std::filesystem::path&, const ImportReport&)>& progress = {});

  // Sounds matching every part of the query, in order of first sight.
  std::vector<LibraryEntry> Find(const LibraryQuery& query);
  std::optional<LibrarySound> Get(std::int64_t id);
  std::optional<std::int64_t> IdOf(const Fingerprint& fingerprint);
  // The nearest other sounds, nearest first (SoundDistance).
  std::vector<SimilarSound> Similar(std::int64_t id, int limit);

  void SetFavourite(std::int64_t id, bool favourite);
  void AddTag(std::int64_t id, std::string_view tag);
  void RemoveTag(std::int64_t id, std::string_view tag);
  std::vector<std::string> AllTags();

  // The dumps in the order asked; unknown ids are left out.
  std::vector<SoundData> ExportSounds(std::span<const std::int64_t> ids);
  // Writes them back to back to a SysEx file (atomically); returns how many.
  int ExportSounds(std::span<const std::int64_t> ids, const std::filesystem::path& file);

  std::int64_t SoundCount();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvix
