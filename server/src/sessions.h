#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "database.h"
#include "record_table.h"

namespace velto::server {

// Where a session was opened.
inline constexpr const char* kCardGate = "card";
inline constexpr const char* kUserGate = "user";

// Log-in sessions, kept in the database so that keys survive a restart. A key ends at log-out
// or after `idle` without use (zero: never). Only a hash of each key is stored. The last use
// is kept in memory and written only once a tenth of the idle time has passed since the
// written one, so that checking a key needs no write (and works on a full disk). The caller
// holds the database lock.
class SessionStore {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  SessionStore(Database& db, std::chrono::milliseconds idle,
               Clock clock = &std::chrono::system_clock::now);

  // Opens a session and returns its key.
  std::string Open(const std::string& user_id, const char* gate);
  // The user of a live key; nothing for an unknown or idle key. `use` counts this as a use.
  std::optional<std::string> UserOf(const std::string& key, bool use = true);
  void End(const std::string& key);
  void EndAllOf(const std::string& user_id);

 private:
  RecordTable table_;
  std::chrono::milliseconds idle_;
  Clock clock_;
  std::unordered_map<std::string, std::chrono::system_clock::time_point> unwritten_uses_;
};

}  // namespace velto::server
