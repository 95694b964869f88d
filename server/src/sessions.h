#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "database.h"
#include "record_table.h"

namespace velto::server {

// Where a session was opened.
inline constexpr const char* kCardGate = "card";
inline constexpr const char* kUserGate = "user";

// Log-in sessions, kept in the database so that keys survive a restart. A key ends at log-out
// or after `idle` without use (zero: never). The caller holds the database lock.
class SessionStore {
 public:
  SessionStore(Database& db, std::chrono::seconds idle);

  // Opens a session and returns its key.
  std::string Open(const std::string& user_id, const char* gate);
  // The user of a live key, which counts as a use; nothing for an unknown or idle key.
  std::optional<std::string> UserOf(const std::string& key);
  void End(const std::string& key);
  void EndAllOf(const std::string& user_id);

 private:
  RecordTable table_;
  std::chrono::seconds idle_;
};

}  // namespace velto::server
