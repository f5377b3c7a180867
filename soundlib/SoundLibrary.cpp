#include "soundlib/SoundLibrary.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sqlite3.h>

#include "library/AppPaths.h"
#include "library/SoundFile.h"
#include "midi/MidiToSysex.h"
#include "soundlib/Schema.h"
#include "soundlib/Sqlite.h"

namespace tarvix {
namespace {

using sql::Database;
using sql::SqliteError;
using sql::Statement;
using sql::Transaction;

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::span<const std::uint8_t> FingerprintBytes(const Fingerprint& fp, std::array<std::uint8_t, 16>& buf) {
  for (int i = 0; i < 8; ++i) {
    buf[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(fp.hi >> (56 - 8 * i));
    buf[static_cast<std::size_t>(8 + i)] = static_cast<std::uint8_t>(fp.lo >> (56 - 8 * i));
  }
  return buf;
}

Fingerprint FingerprintFromBytes(std::span<const std::uint8_t> b) {
  Fingerprint fp;
  if (b.size() != 16) return fp;
  for (int i = 0; i < 8; ++i) {
    fp.hi = (fp.hi << 8) | b[static_cast<std::size_t>(i)];
    fp.lo = (fp.lo << 8) | b[static_cast<std::size_t>(8 + i)];
  }
  return fp;
}

std::string StoredName(const SoundData& s) { return Latin1ToUtf8(TrimmedSoundName(s)); }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The first 16 bytes of every SQLite database file.
bool HasDatabaseHeader(const std::filesystem::path& file) {
  static constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
  std::ifstream in(file, std::ios::binary);
  char buf[16] = {};
  in.read(buf, sizeof buf);
  return in.gcount() == 16 && std::equal(buf, buf + 16, kHeader);
}

[[noreturn]] void Damaged(const std::filesystem::path& file, const std::string& why) {
  throw LibraryFileError("The sound library " + file.string() + " is damaged or is not a Tarvix sound library (" + why +
                     "). It was left unchanged; move it away to start a new library.");
}

}  // namespace

ImportReport& ImportReport::operator+=(const ImportReport& o) {
  read += o.read;
  added += o.added;
  known += o.known;
  newSightings += o.newSightings;
  files += o.files;
  problems.insert(problems.end(), o.problems.begin(), o.problems.end());
  return *this;
}

std::string ImportReport::Summary() const {
  return std::to_string(read) + (read == 1 ? " sound" : " sounds") + " read, " + std::to_string(added) + " new, " +
         std::to_string(known) + " already known";
}

struct SoundLibrary::Impl {
  std::filesystem::path file;
  std::unique_ptr<Database> db;

  LibraryEntry ReadEntry(const Statement& st) const {
    // Columns: id, name, category, first_seen, favourite, fingerprint, sighting count.
    LibraryEntry e;
    e.id = st.Int(0);
    e.name = st.Text(1);
    e.category = static_cast<std::uint8_t>(st.Int(2));
    e.firstSeen = st.Int(3);
    e.favourite = st.Int(4) != 0;
    e.fingerprint = FingerprintFromBytes(st.Blob(5));
    e.sightingCount = static_cast<int>(st.Int(6));
    return e;
  }

  // Wraps a database failure into the library's own error.
  template <class F>
  auto Guard(F&& f) -> decltype(f()) {
    try {
      return f();
    } catch (const SqliteError& e) {
      if (e.IsDamage()) Damaged(file, e.what());
      throw LibraryFileError("Sound library " + file.string() + ": " + e.what());
    }
  }
};

constexpr const char* kEntryColumns =
    "s.id, s.name, s.category, s.first_seen, s.favourite, s.fingerprint, "
    "(SELECT count(*) FROM sightings g WHERE g.sound_id = s.id)";

std::filesystem::path SoundLibrary::DefaultFile() { return ProcessPaths().userDataDir / kLibraryFileName; }

SoundLibrary::SoundLibrary(const std::filesystem::path& file) : impl_(std::make_unique<Impl>()) {
  impl_->file = file;
  std::error_code ec;
  const bool exists = std::filesystem::exists(file, ec);
  if (exists) {
    if (!std::filesystem::is_regular_file(file, ec))
      throw LibraryFileError("The sound library " + file.string() + " is not a regular file.");
    if (!std::ifstream(file, std::ios::binary))
      throw LibraryFileError("The sound library " + file.string() + " cannot be read: " + std::strerror(errno));
    // An empty file is what an interrupted first start leaves; anything else
    // must look like a database before SQLite is let near it.
    if (std::filesystem::file_size(file, ec) > 0 && !HasDatabaseHeader(file)) Damaged(file, "no database header");
  } else if (file.has_parent_path()) {
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec)
      throw LibraryFileError("Cannot create the folder for the sound library " + file.string() + ": " + ec.message());
  }
  try {
    impl_->db = std::make_unique<Database>(file, exists ? Database::Mode::ReadWrite : Database::Mode::ReadWriteCreate);
  } catch (const SqliteError& e) {
    throw LibraryFileError("Cannot open the sound library: " + std::string(e.what()));
  }
  Database& db = *impl_->db;
  impl_->Guard([&] {
    const int version = static_cast<int>(db.QueryInt("PRAGMA user_version").value_or(0));
    const int appId = static_cast<int>(db.QueryInt("PRAGMA application_id").value_or(0));
    const auto tables = db.QueryInt("SELECT count(*) FROM sqlite_schema").value_or(0);
    if (version > kSchemaVersion)
      throw LibraryFileError("The sound library " + file.string() + " was written by a newer version of Tarvix (library version " +
                         std::to_string(version) + "; this version reads up to " + std::to_string(kSchemaVersion) +
                         "). It was left unchanged.");
    if (appId != soundlib::kApplicationId && (version != 0 || tables != 0 || appId != 0))
      Damaged(file, "another program's database");
    db.Exec("PRAGMA foreign_keys = ON");
    db.Exec("PRAGMA journal_mode = WAL");
    // In WAL mode a commit needs no sync of its own; a crash can lose the
    // last commits but never tears the file.
    db.Exec("PRAGMA synchronous = NORMAL");
    // The fingerprint and name indexes are hit in random order; a cache that
    // holds them spares re-reading pages on every import.
    db.Exec("PRAGMA cache_size = -32768");
    const auto migrations = soundlib::Migrations();
    for (int v = version; v < kSchemaVersion; ++v) {
      Transaction t(db);
      db.Exec(migrations[static_cast<std::size_t>(v)]);
      db.Prepare("INSERT INTO schema_migrations(version, applied) VALUES (?1, ?2)").Bind(1, v + 1).Bind(2, Now()).Run();
      db.Exec("PRAGMA user_version = " + std::to_string(v + 1));
      db.Exec("PRAGMA application_id = " + std::to_string(soundlib::kApplicationId));
      t.Commit();
    }
    return 0;
  });
}

SoundLibrary::~SoundLibrary() = default;

const std::filesystem::path& SoundLibrary::File() const { return impl_->file; }

ImportReport SoundLibrary::Import(std::string_view source, std::span<const ImportRecord> records) {
  return impl_->Guard([&] {
    Database& db = *impl_->db;
    ImportReport report;
    const std::int64_t now = Now();
    Transaction t(db);
    db.Prepare("INSERT INTO sources(name) VALUES (?1) ON CONFLICT(name) DO NOTHING").Bind(1, source).Run();
    Statement sourceId = db.Prepare("SELECT id FROM sources WHERE name = ?1");
    sourceId.Bind(1, source);
    sourceId.Step();
    const std::int64_t src = sourceId.Int(0);
    Statement findSound = db.Prepare("SELECT id FROM sounds WHERE fingerprint = ?1");
    Statement addSound = db.Prepare(
        "INSERT INTO sounds(fingerprint, dump, name, category, first_seen) VALUES (?1, ?2, ?3, ?4, ?5)");
    Statement addName = db.Prepare(
        "INSERT INTO names(sound_id, name, category, first_seen) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(sound_id, name, category) DO NOTHING");
    Statement addSighting = db.Prepare(
        "INSERT INTO sightings(source_id, idx, sound_id, seen) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(source_id, idx, sound_id) DO NOTHING");
    int notDumps = 0;
    int firstNotDump = -1;
    std::array<std::uint8_t, 16> fpBuf{};
    for (const ImportRecord& rec : records) {
      if (!IsSoundDump(rec.sound)) {
        if (notDumps++ == 0) firstNotDump = rec.index;
        continue;
      }
      ++report.read;
      const auto fp = FingerprintBytes(FingerprintOf(rec.sound), fpBuf);
      const std::string name = StoredName(rec.sound);
      const int category = GetCategory(rec.sound);
      std::int64_t id = 0;
      findSound.Bind(1, fp);
      if (findSound.Step()) {
        id = findSound.Int(0);
        ++report.known;
      } else {
        addSound.Bind(1, fp).Bind(2, std::span<const std::uint8_t>(rec.sound.bytes)).Bind(3, name).Bind(4, category).Bind(5, now);
        addSound.Run();
        id = db.LastInsertRowid();
        ++report.added;
      }
      findSound.Reset();
      addName.Bind(1, id).Bind(2, name).Bind(3, category).Bind(4, now).Run();
      addSighting.Bind(1, src).Bind(2, rec.index).Bind(3, id).Bind(4, now).Run();
      report.newSightings += db.Changes();
    }
    t.Commit();
    if (notDumps > 0)
      report.problems.push_back(std::string(source) + ": " + std::to_string(notDumps) +
                                (notDumps == 1 ? " record is" : " records are") + " not a sound dump (first at " +
                                std::to_string(firstNotDump) + "), skipped");
    return report;
  });
}

ImportReport SoundLibrary::ImportFile(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::canonical(file, ec);
  if (ec) throw LibraryError(file.string() + ": " + ec.message());
  // A FIFO or a device would block the read or never end.
  if (!std::filesystem::is_regular_file(absolute, ec)) throw LibraryError(file.string() + ": not a regular file");
  std::ifstream in(absolute, std::ios::binary);
  if (!in) throw LibraryError(file.string() + ": cannot be opened for reading");
  std::vector<ImportRecord> records;
  std::size_t partial = 0;
  ImportRecord current;
  const MidiToSysexResult r = MidiToSysex(in, [&](std::span<const std::uint8_t> bytes) {
    // The converter writes whole dumps back to back, possibly in pieces.
    for (std::uint8_t b : bytes) {
      current.sound[partial++] = b;
      if (partial == kSoundSize) {
        current.index = static_cast<int>(records.size());
        records.push_back(current);
        partial = 0;
      }
    }
  });
  if (in.bad()) throw LibraryError(file.string() + ": read error");
  ImportReport report = Import(absolute.string(), records);
  report.files = 1;
  std::string skipped;
  auto add = [&](std::size_t n, const char* what) {
    if (n == 0) return;
    skipped += (skipped.empty() ? "" : ", ") + std::to_string(n) + what;
  };
  add(r.incomplete, r.incomplete == 1 ? " message cut off" : " messages cut off");
  add(r.skipped, r.skipped == 1 ? " message that is no sound dump" : " messages that are no sound dump");
  if (!skipped.empty() || !r.damage.empty())
    report.problems.push_back(absolute.string() + ": skipped " + (skipped.empty() ? std::string("the rest") : skipped) +
                              (r.damage.empty() ? "" : " (" + r.damage + ")"));
  else if (records.empty())
    report.problems.push_back(absolute.string() + ": no sound dumps found");
  return report;
}

ImportReport SoundLibrary::ImportPaths(
    const std::vector<std::filesystem::path>& paths,
    const std::function<void(const std::filesystem::path&, const ImportReport&)>& progress) {
  ImportReport total;
  auto one = [&](const std::filesystem::path& f) {
    ImportReport r;
    try {
      r = ImportFile(f);
    } catch (const LibraryFileError&) {
      throw;  // the library itself failed: every further file would too
    } catch (const LibraryError& e) {
      r.problems.push_back(e.what());  // this file only
    }
    total += r;
    if (progress) progress(f, r);
  };
  for (const auto& p : paths) {
    std::error_code ec;
    if (!std::filesystem::is_directory(p, ec)) {
      one(p);
      continue;
    }
    std::vector<std::filesystem::path> files;
    for (auto it = std::filesystem::recursive_directory_iterator(
             p, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      const std::string ext = Lower(it->path().extension().string());
      if (ext == ".syx" || ext == ".mid" || ext == ".midi") files.push_back(it->path());
    }
    if (ec) total.problems.push_back(p.string() + ": " + ec.message());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) one(f);
  }
  return total;
}

std::vector<LibraryEntry> SoundLibrary::Find(const LibraryQuery& q) {
  return impl_->Guard([&] {
    Database& db = *impl_->db;
    std::string sqlText = std::string("SELECT ") + kEntryColumns + ", s.dump FROM sounds s WHERE 1";
    std::vector<std::string> texts;
    std::vector<std::int64_t> ints;
    // Parameters are bound in the order the clauses are added.
    std::vector<std::pair<bool, std::size_t>> order;
    auto text = [&](std::string v) {
      texts.push_back(std::move(v));
      order.emplace_back(true, texts.size() - 1);
    };
    auto number = [&](std::int64_t v) {
      ints.push_back(v);
      order.emplace_back(false, ints.size() - 1);
    };
    // Substrings of three characters or more go through the trigram index;
    // shorter ones (which no trigram can hold) and ones with LIKE's own
    // wildcard characters scan the names.
    const std::size_t chars = static_cast<std::size_t>(
        std::count_if(q.text.begin(), q.text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    const bool wildcards = q.text.find_first_of("%_\\") != std::string::npos;
    if (chars >= 3 && !wildcards) {
      sqlText += " AND s.id IN (SELECT n.sound_id FROM names n WHERE n.id IN "
                 "(SELECT rowid FROM names_fts WHERE name LIKE ?))";
      text("%" + q.text + "%");
    } else if (chars > 0) {
      std::string pattern = "%";
      for (char c : q.text) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
      }
      pattern += "%";
      sqlText += " AND s.id IN (SELECT n.sound_id FROM names n WHERE n.name LIKE ? ESCAPE '\\')";
      text(pattern);
    }
    if (q.category) {
      sqlText += " AND s.id IN (SELECT n.sound_id FROM names n WHERE n.category = ?)";
      number(*q.category);
    }
    if (q.favouritesOnly) sqlText += " AND s.favourite = 1";
    if (!q.tag.empty()) {
      sqlText += " AND s.id IN (SELECT t.sound_id FROM tags t WHERE t.tag = ?)";
      text(q.tag);
    }
    sqlText += " ORDER BY s.id";
    // Parameter conditions are checked here on the dump, so the limit too.
    if (q.limit > 0 && q.where.empty()) {
      sqlText += " LIMIT ?";
      number(q.limit);
    }
    Statement st = db.Prepare(sqlText);
    for (std::size_t i = 0; i < order.size(); ++i) {
      const int idx = static_cast<int>(i + 1);
      if (order[i].first) st.Bind(idx, std::string_view(texts[order[i].second]));
      else st.Bind(idx, ints[order[i].second]);
    }
    std::vector<LibraryEntry> out;
    while (st.Step()) {
      if (!q.where.empty()) {
        const SoundData sound = SoundData::FromBytes(st.Blob(7));
        if (!std::all_of(q.where.begin(), q.where.end(), [&](const ParameterCondition& c) { return c.Matches(sound); }))
          continue;
      }
      out.push_back(impl_->ReadEntry(st));
      if (q.limit > 0 && static_cast<int>(out.size()) >= q.limit) break;
    }
    return out;
  });
}

std::optional<LibrarySound> SoundLibrary::Get(std::int64_t id) {
  return impl_->Guard([&]() -> std::optional<LibrarySound> {
    Database& db = *impl_->db;
    Statement st = db.Prepare(std::string("SELECT ") + kEntryColumns + ", s.dump FROM sounds s WHERE s.id = ?1");
    st.Bind(1, id);
    if (!st.Step()) return std::nullopt;
    LibrarySound s;
    static_cast<LibraryEntry&>(s) = impl_->ReadEntry(st);
    s.sound = SoundData::FromBytes(st.Blob(7));
    Statement names = db.Prepare("SELECT name, category, first_seen FROM names WHERE sound_id = ?1 ORDER BY id");
    names.Bind(1, id);
    while (names.Step())
      s.names.push_back({names.Text(0), static_cast<std::uint8_t>(names.Int(1)), names.Int(2)});
    Statement seen = db.Prepare(
        "SELECT o.name, g.idx, g.seen FROM sightings g JOIN sources o ON o.id = g.source_id "
        "WHERE g.sound_id = ?1 ORDER BY g.seen, o.id, g.idx");
    seen.Bind(1, id);
    while (seen.Step()) s.sightings.push_back({seen.Text(0), static_cast<int>(seen.Int(1)), seen.Int(2)});
    Statement tags = db.Prepare("SELECT tag FROM tags WHERE sound_id = ?1 ORDER BY tag");
    tags.Bind(1, id);
    while (tags.Step()) s.tags.push_back(tags.Text(0));
    return s;
  });
}

std::optional<std::int64_t> SoundLibrary::IdOf(const Fingerprint& fingerprint) {
  return impl_->Guard([&]() -> std::optional<std::int64_t> {
    std::array<std::uint8_t, 16> buf{};
    Statement st = impl_->db->Prepare("SELECT id FROM sounds WHERE fingerprint = ?1");
    st.Bind(1, FingerprintBytes(fingerprint, buf));
    if (!st.Step()) return std::nullopt;
    return st.Int(0);
  });
}

std::vector<SimilarSound> SoundLibrary::Similar(std::int64_t id, int limit) {
  return impl_->Guard([&] {
    Database& db = *impl_->db;
    std::vector<SimilarSound> out;
    Statement target = db.Prepare("SELECT dump FROM sounds WHERE id = ?1");
    target.Bind(1, id);
    if (!target.Step()) throw LibraryError("No sound with id " + std::to_string(id) + " in the library.");
    const SoundData reference = SoundData::FromBytes(target.Blob(0));
    std::vector<std::pair<double, std::int64_t>> ranked;
    Statement all = db.Prepare("SELECT id, dump FROM sounds");
    while (all.Step()) {
      const std::int64_t other = all.Int(0);
      if (other == id) continue;
      const auto blob = all.Blob(1);
      if (blob.size() != kSoundSize) continue;
      ranked.emplace_back(SoundDistance(reference, SoundData::FromBytes(blob)), other);
    }
    const std::size_t n = limit > 0 ? std::min<std::size_t>(static_cast<std::size_t>(limit), ranked.size()) : ranked.size();
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(n), ranked.end());
    Statement entry = db.Prepare(std::string("SELECT ") + kEntryColumns + " FROM sounds s WHERE s.id = ?1");
    for (std::size_t i = 0; i < n; ++i) {
      entry.Bind(1, ranked[i].second);
      if (entry.Step()) out.push_back({impl_->ReadEntry(entry), ranked[i].first});
      entry.Reset();
    }
    return out;
  });
}

void SoundLibrary::SetFavourite(std::int64_t id, bool favourite) {
  impl_->Guard([&] {
    impl_->db->Prepare("UPDATE sounds SET favourite = ?2 WHERE id = ?1").Bind(1, id).Bind(2, favourite ? 1 : 0).Run();
    return 0;
  });
}

void SoundLibrary::AddTag(std::int64_t id, std::string_view tag) {
  impl_->Guard([&] {
    impl_->db->Prepare("INSERT INTO tags(sound_id, tag) VALUES (?1, ?2) ON CONFLICT DO NOTHING").Bind(1, id).Bind(2, tag).Run();
    return 0;
  });
}

void SoundLibrary::RemoveTag(std::int64_t id, std::string_view tag) {
  impl_->Guard([&] {
    impl_->db->Prepare("DELETE FROM tags WHERE sound_id = ?1 AND tag = ?2").Bind(1, id).Bind(2, tag).Run();
    return 0;
  });
}

std::vector<std::string> SoundLibrary::AllTags() {
  return impl_->Guard([&] {
    std::vector<std::string> out;
    Statement st = impl_->db->Prepare("SELECT DISTINCT tag FROM tags ORDER BY tag");
    while (st.Step()) out.push_back(st.Text(0));
    return out;
  });
}

std::vector<SoundData> SoundLibrary::ExportSounds(std::span<const std::int64_t> ids) {
  return impl_->Guard([&] {
    std::vector<SoundData> out;
    Statement st = impl_->db->Prepare("SELECT dump FROM sounds WHERE id = ?1");
    for (std::int64_t id : ids) {
      st.Bind(1, id);
      if (st.Step()) out.push_back(SoundData::FromBytes(st.Blob(0)));
      st.Reset();
    }
    return out;
  });
}

int SoundLibrary::ExportSounds(std::span<const std::int64_t> ids, const std::filesystem::path& file) {
  const std::vector<SoundData> sounds = ExportSounds(ids);
  std::vector<const SoundData*> ptrs;
  for (const auto& s : sounds) ptrs.push_back(&s);
  WriteSoundRecords(file, ptrs);
  return static_cast<int>(sounds.size());
}

std::int64_t SoundLibrary::SoundCount() {
  return impl_->Guard([&] { return impl_->db->QueryInt("SELECT count(*) FROM sounds").value_or(0); });
}

}  // namespace tarvix
