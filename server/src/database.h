#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velto::server {

// A write failed because the disk is full.
class StorageFull : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One prepared statement; finalised when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);

  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, std::int64_t number);
  // Steps once; true while a row is available.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  std::string Text(int column) const;
  std::int64_t Integer(int column) const;
  int ColumnCount() const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };
  sqlite3* db_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

// The SQLite connection. Every request takes the lock for the whole of its work, so that a
// request's statements never interleave with another's.
class Database {
 public:
  // An empty path opens a private in-memory database. Throws, saying why, when the file
  // cannot be created, written or read as a database.
  explicit Database(const std::string& path);

  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  Statement Prepare(std::string_view sql) { return Statement(db_.get(), sql); }
  void Execute(const std::string& sql);
  std::int64_t ChangedRows() const { return sqlite3_changes(db_.get()); }

 private:
  struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
  };
  void Open(const std::string& path);

  std::unique_ptr<sqlite3, Closer> db_;
  std::mutex mutex_;
};

// Commits when Commit() is called; rolls back when left without it.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Database& db_;
  bool done_ = false;
};

}  // namespace velto::server
