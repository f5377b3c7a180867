#include "soundlib/Sqlite.h"

#include <sqlite3.h>

namespace tarvix::sql {

bool SqliteError::IsDamage() const { return code_ == SQLITE_CORRUPT || code_ == SQLITE_NOTADB; }

Database::Database(const std::filesystem::path& file, Mode mode) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (mode == Mode::ReadWriteCreate) flags |= SQLITE_OPEN_CREATE;
  const int rc = sqlite3_open_v2(file.string().c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw SqliteError(rc & 0xFF, file.string() + ": " + msg);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 5000);
}

Database::~Database() { sqlite3_close_v2(db_); }

void Database::Fail(int rc, std::string_view what) const {
  throw SqliteError(rc & 0xFF, std::string(what) + ": " + sqlite3_errmsg(db_));
}

void Database::Exec(std::string_view sql) {
  char* err = nullptr;
  const std::string text(sql);
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw SqliteError(rc & 0xFF, msg);
  }
}

Statement Database::Prepare(std::string_view sql) { return Statement(*this, sql); }

std::optional<std::int64_t> Database::QueryInt(std::string_view sql) {
  Statement st(*this, sql);
  if (!st.Step() || st.IsNull(0)) return std::nullopt;
  return st.Int(0);
}

std::int64_t Database::LastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
int Database::Changes() const { return sqlite3_changes(db_); }

Statement::Statement(Database& db, std::string_view sql) : db_(&db) {
  const int rc = sqlite3_prepare_v3(db.Handle(), sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                    &stmt_, nullptr);
  if (rc != SQLITE_OK) db.Fail(rc, "prepare");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }

Statement& Statement::Bind(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  const int rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Statement& Statement::Bind(int index, std::span<const std::uint8_t> blob) {
  const int rc = sqlite3_bind_blob64(stmt_, index, blob.data(), blob.size(), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Statement& Statement::BindNull(int index) {
  const int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  db_->Fail(rc, "query");
}

void Statement::Run() {
  while (Step()) {
  }
  Reset();
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
  const auto* p = sqlite3_column_text(stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
           : std::string();
}

std::span<const std::uint8_t> Statement::Blob(int column) const {
  const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
  return {p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

Transaction::Transaction(Database& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (!open_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (...) {
    // The connection already rolled back (an I/O error does that); nothing left to undo.
  }
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace tarvix::sql
