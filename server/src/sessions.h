#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "database.h"
#include "record_table.h"

namespace velto::server {

// Where a session was opened: the user gate, or the card gate with a card, which is kept so
// that deleting the card ends the session.
inline constexpr const char* kUserGate = "user";
std::string CardGate(const std::string& card_id);

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

  // Opens a session and returns its key; expired sessions are removed first.
  std::string Open(const std::string& user_id, const std::string& gate);
  // The user of a live key; nothing for an unknown or idle key. `use` counts this as a use.
  std::optional<std::string> UserOf(const std::string& key, bool use = true);
  void End(const std::string& key);
  void EndAllOf(const std::string& user_id);
  void EndAllOfCard(const std::string& card_id);
  // Ends the user's sessions opened with its password, except the one of `kept_key`.
  void EndPasswordSessionsOf(const std::string& user_id, const std::string& kept_key);
  // Removes the sessions that have surely been idle too long, whether their keys come back or
  // not. A use not yet written is less than a tenth of the idle time after the written one,
  // so a session is removed once that much more has passed.
  void RemoveExpired();
  std::chrono::milliseconds idle() const { return idle_; }

 private:
  void Forget(const std::vector<Fields>& sessions);

  Database& db_;
  RecordTable table_;
  std::chrono::milliseconds idle_;
  Clock clock_;
  std::unordered_map<std::string, std::chrono::system_clock::time_point> unwritten_uses_;
};

}  // namespace velto::server
