#include "sessions.h"

#include <charconv>
#include <ctime>

#include "ids.h"
#include "kinds.h"

namespace velto::server {
namespace {

std::string NowSeconds() {
  return std::to_string(static_cast<long long>(std::time(nullptr)));
}

}  // namespace

SessionStore::SessionStore(Database& db, std::chrono::seconds idle)
    : table_(db, kinds::kSession), idle_(idle) {}

std::string SessionStore::Open(const std::string& user_id, const char* gate) {
  const std::string key = NewId();
  table_.Insert({{"id", key}, {"userId", user_id}, {"gate", gate}, {"lastSeen", NowSeconds()}});
  return key;
}

std::optional<std::string> SessionStore::UserOf(const std::string& key) {
  if (key.empty()) return std::nullopt;
  const auto session = table_.Find({{"id", key}});
  if (!session) return std::nullopt;
  if (idle_.count() > 0) {
    const std::string& seen = session->at("lastSeen");
    long long last = 0;
    std::from_chars(seen.data(), seen.data() + seen.size(), last);
    if (std::time(nullptr) - last > idle_.count()) {
      End(key);
      return std::nullopt;
    }
  }
  table_.Update({{"id", key}}, {{"lastSeen", NowSeconds()}});
  return session->at("userId");
}

void SessionStore::End(const std::string& key) {
  table_.Remove({{"id", key}});
}

void SessionStore::EndAllOf(const std::string& user_id) {
  table_.Remove({{"userId", user_id}});
}

}  // namespace velto::server
