#include "sessions.h"

#include <openssl/evp.h>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <stdexcept>

#include "ids.h"
#include "kinds.h"

namespace velto::server {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::system_clock::time_point;

// What is stored in place of a key: its SHA-256 in hex. Looking a key up by its hash tells
// nothing about the key from how long the lookup takes.
std::string KeyHash(const std::string& key) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(key.data(), key.size(), digest, &size, EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("SHA-256 failed");
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0xF];
  }
  return hex;
}

std::string MillisecondsText(TimePoint time) {
  return std::to_string(std::chrono::duration_cast<milliseconds>(time.time_since_epoch()).count());
}

TimePoint FromMillisecondsText(const std::string& text) {
  long long count = 0;
  std::from_chars(text.data(), text.data() + text.size(), count);
  return TimePoint(milliseconds(count));
}

}  // namespace

std::string CardGate(const std::string& card_id) {
  return "card:" + card_id;
}

SessionStore::SessionStore(Database& db, milliseconds idle, Clock clock)
    : db_(db), table_(db, kinds::kSession), idle_(idle), clock_(std::move(clock)) {
  table_.CreateSchema();
  RemoveExpired();
}

std::string SessionStore::Open(const std::string& user_id, const std::string& gate) {
  RemoveExpired();
  const std::string key = NewId();
  table_.Insert({{"id", KeyHash(key)},
                 {"userId", user_id},
                 {"gate", gate},
                 {"lastSeen", MillisecondsText(clock_())}});
  return key;
}

std::optional<std::string> SessionStore::UserOf(const std::string& key, bool use) {
  if (key.empty()) return std::nullopt;
  const std::string hash = KeyHash(key);
  const auto session = table_.Find({{"id", hash}});
  if (!session) {
    unwritten_uses_.erase(hash);
    return std::nullopt;
  }
  const TimePoint written = FromMillisecondsText(session->at("lastSeen"));
  const auto unwritten = unwritten_uses_.find(hash);
  const TimePoint last =
      unwritten != unwritten_uses_.end() ? std::max(written, unwritten->second) : written;
  const TimePoint now = clock_();
  if (idle_.count() > 0 && now - last > idle_) {
    try {
      End(key);
    } catch (const std::exception&) {  // an idle key stays refused whether or not it is removed
    }
    return std::nullopt;
  }
  if (use && idle_.count() > 0) {
    unwritten_uses_[hash] = now;
    if (now - written >= idle_ / 10) {
      try {
        table_.Update({{"id", hash}}, {{"lastSeen", MillisecondsText(now)}});
        unwritten_uses_.erase(hash);
      } catch (const std::exception& error) {  // kept in memory until a write succeeds
        std::cerr << "velto-server: cannot record the use of a key: " << error.what() << std::endl;
      }
    }
  }
  return session->at("userId");
}

void SessionStore::End(const std::string& key) {
  const std::string hash = KeyHash(key);
  unwritten_uses_.erase(hash);
  table_.Remove({{"id", hash}});
}

void SessionStore::Forget(const std::vector<Fields>& sessions) {
  for (const Fields& session : sessions) unwritten_uses_.erase(session.at("id"));
}

void SessionStore::EndAllOf(const std::string& user_id) {
  Forget(table_.List({{{"userId", user_id}}}));
  table_.Remove({{"userId", user_id}});
}

void SessionStore::EndAllOfCard(const std::string& card_id) {
  const Fields where{{"gate", CardGate(card_id)}};
  Forget(table_.List({where}));
  table_.Remove(where);
}

void SessionStore::EndPasswordSessionsOf(const std::string& user_id, const std::string& kept_key) {
  const std::string kept = kept_key.empty() ? std::string() : KeyHash(kept_key);
  for (const Fields& session : table_.List({{{"userId", user_id}, {"gate", kUserGate}}})) {
    if (session.at("id") == kept) continue;
    unwritten_uses_.erase(session.at("id"));
    table_.Remove({{"id", session.at("id")}});
  }
}

void SessionStore::RemoveExpired() {
  if (idle_.count() <= 0) return;
  const auto now = clock_();
  std::erase_if(unwritten_uses_, [&](const auto& use) { return now - use.second > idle_; });
  const auto cutoff = now - idle_ - idle_ / 10;
  try {
    db_.Execute("DELETE FROM " + std::string(kinds::kSession.table) +
                " WHERE CAST(lastSeen AS INTEGER) < " + MillisecondsText(cutoff));
  } catch (const std::exception& error) {  // tried again at the next occasion
    std::cerr << "velto-server: cannot remove expired keys: " << error.what() << std::endl;
  }
}

}  // namespace velto::server
