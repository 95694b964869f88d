#include "database.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace velto::server {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  const std::string message = what + ": " + sqlite3_errmsg(db);
  if ((sqlite3_errcode(db) & 0xFF) == SQLITE_FULL) throw StorageFull(message);
  throw std::runtime_error(message);
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    Fail(db, "prepare " + std::string(sql));
  }
  statement_.reset(raw);
}

Statement& Statement::Bind(int index, std::string_view text) {
  // A null pointer would bind SQL NULL; an empty text is still a text.
  if (sqlite3_bind_text(statement_.get(), index, text.data() != nullptr ? text.data() : "",
                        static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail(db_, "bind");
  }
  return *this;
}

Statement& Statement::Bind(int index, std::int64_t number) {
  if (sqlite3_bind_int64(statement_.get(), index, number) != SQLITE_OK) Fail(db_, "bind");
  return *this;
}

bool Statement::Step() {
  const int result = sqlite3_step(statement_.get());
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  Fail(db_, "step");
}

void Statement::Run() {
  while (Step()) {
  }
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_.get(), column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(statement_.get(), column)));
}

std::int64_t Statement::Integer(int column) const {
  return sqlite3_column_int64(statement_.get(), column);
}

int Statement::ColumnCount() const {
  return sqlite3_column_count(statement_.get());
}

Database::Database(const std::string& path) {
  try {
    Open(path);
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot open the database " + path + ": " + error.what());
  }
}

void Database::Open(const std::string& path) {
  if (!path.empty()) {
    const auto folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) throw std::runtime_error("cannot create its folder: " + error.message());
  }
  // Made here rather than by SQLite, which names no reason when it cannot make the file.
  if (!path.empty() && !std::filesystem::exists(path)) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error(std::string("cannot create it: ") + std::strerror(errno));
    close(fd);
  }
  sqlite3* raw = nullptr;
  const int result =
      sqlite3_open_v2(path.empty() ? ":memory:" : path.c_str(), &raw,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  db_.reset(raw);
  if (result != SQLITE_OK) {
    const int reason = sqlite3_system_errno(raw);
    throw std::runtime_error(std::string(sqlite3_errmsg(raw)) +
                             (reason != 0 ? " (" + std::string(std::strerror(reason)) + ")" : ""));
  }
  if (sqlite3_db_readonly(raw, "main") == 1) throw std::runtime_error("it is not writable");
  // Reading the schema is what finds out that a file is no database.
  if (sqlite3_exec(raw, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(raw));
  }
  Execute("PRAGMA foreign_keys = OFF");
  if (!path.empty()) {
    Execute("PRAGMA journal_mode = WAL");
    Execute("PRAGMA synchronous = NORMAL");
  }
}

void Database::Execute(const std::string& sql) {
  char* error = nullptr;
  const int result = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error);
  if (result != SQLITE_OK) {
    const std::string message = sql + ": " + (error != nullptr ? error : "unknown error");
    sqlite3_free(error);
    if ((result & 0xFF) == SQLITE_FULL) throw StorageFull(message);
    throw std::runtime_error(message);
  }
}

Transaction::Transaction(Database& db) : db_(db) {
  db_.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (!done_) {
    try {
      db_.Execute("ROLLBACK");
    } catch (...) {  // the connection is already unusable; nothing more can be done here
    }
  }
}

void Transaction::Commit() {
  db_.Execute("COMMIT");
  done_ = true;
}

}  // namespace velto::server
