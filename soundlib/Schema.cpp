#include "soundlib/Schema.h"

#include <array>

namespace tarvix::soundlib {
namespace {

// Version 1. A sound row keeps the dump as first seen, with the name and
// category it then had (what lists show without a join). Names and
// sightings hold the rest of the history. The names are indexed by trigrams
// so that a substring search never scans the table; the index holds no copy
// of the text (content table), which keeps the file small.
constexpr std::string_view kVersion1 = R"sql(
CREATE TABLE schema_migrations(
  version INTEGER PRIMARY KEY,
  applied INTEGER NOT NULL
);
CREATE TABLE sounds(
  id INTEGER PRIMARY KEY,
  fingerprint BLOB NOT NULL UNIQUE,
  dump BLOB NOT NULL,
  name TEXT NOT NULL,
  category INTEGER NOT NULL,
  first_seen INTEGER NOT NULL,
  favourite INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE names(
  id INTEGER PRIMARY KEY,
  sound_id INTEGER NOT NULL REFERENCES sounds(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  category INTEGER NOT NULL,
  first_seen INTEGER NOT NULL,
  UNIQUE(sound_id, name, category)
);
CREATE INDEX names_category ON names(category, sound_id);
CREATE TABLE sources(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE
);
CREATE TABLE sightings(
  source_id INTEGER NOT NULL REFERENCES sources(id) ON DELETE CASCADE,
  idx INTEGER NOT NULL,
  sound_id INTEGER NOT NULL REFERENCES sounds(id) ON DELETE CASCADE,
  seen INTEGER NOT NULL,
  PRIMARY KEY(source_id, idx, sound_id)
) WITHOUT ROWID;
CREATE INDEX sightings_sound ON sightings(sound_id);
CREATE TABLE tags(
  sound_id INTEGER NOT NULL REFERENCES sounds(id) ON DELETE CASCADE,
  tag TEXT NOT NULL,
  PRIMARY KEY(sound_id, tag)
) WITHOUT ROWID;
CREATE INDEX tags_tag ON tags(tag);
CREATE VIRTUAL TABLE names_fts USING fts5(name, content='names', content_rowid='id', tokenize='trigram', detail='none');
CREATE TRIGGER names_fts_insert AFTER INSERT ON names BEGIN
  INSERT INTO names_fts(rowid, name) VALUES (new.id, new.name);
END;
CREATE TRIGGER names_fts_delete AFTER DELETE ON names BEGIN
  INSERT INTO names_fts(names_fts, rowid, name) VALUES ('delete', old.id, old.name);
END;
)sql";

constexpr std::array<std::string_view, 1> kMigrations{kVersion1};

}  // namespace

std::span<const std::string_view> Migrations() { return kMigrations; }

}  // namespace tarvix::soundlib
