#pragma once
// A thin RAII layer over SQLite's C API: a connection, prepared statements
// and transactions that roll back unless committed. Every failure becomes a
// SqliteError carrying SQLite's primary result code, so callers can tell a
// damaged file (SQLITE_CORRUPT, SQLITE_NOTADB) from a busy or full one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvix::sql {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // The primary result code (extended code & 0xFF).
  int Code() const { return code_; }
  // The file is not a database or its pages are damaged.
  bool IsDamage() const;

 private:
  int code_;
};

class Statement;

class Database {
 public:
  enum class Mode { ReadWrite, ReadWriteCreate };
  Database(const std::filesystem::path& file, Mode mode);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Exec(std::string_view sql);
  Statement Prepare(std::string_view sql);
  // The first column of the first row of a query, or nothing without a row.
  std::optional<std::int64_t> QueryInt(std::string_view sql);
  std::int64_t LastInsertRowid() const;
  int Changes() const;
  sqlite3* Handle() { return db_; }

  [[noreturn]] void Fail(int rc, std::string_view what) const;

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(Database& db, std::string_view sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;
  Statement(const Statement&) = delete;

  // Parameters count from 1, as in SQL's ?1.
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, std::span<const std::uint8_t> blob);
  Statement& BindNull(int index);

  // Runs to the next row: true when a row is ready, false when done.
  bool Step();
  // Step() to the end, for statements without rows.
  void Run();
  void Reset();  // ready for new bindings and another run

  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::span<const std::uint8_t> Blob(int column) const;
  bool IsNull(int column) const;

 private:
  Database* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; the destructor rolls back what was not
// committed, so an exception or a killed process leaves nothing half-done.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Database& db_;
  bool open_ = true;
};

}  // namespace tarvix::sql
