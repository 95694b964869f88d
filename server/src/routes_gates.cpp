#include <cctype>

#include "json_body.h"
#include "kinds.h"
#include "password.h"
#include "routes.h"

namespace velto::server {
namespace {

// The card number arrives as the bare body; surrounding blanks or quotes are not part of it.
std::string CardNumberOf(const std::string& body) {
  size_t begin = 0;
  size_t end = body.size();
  const auto is_wrapping = [](char c) {
    return std::isspace(static_cast<unsigned char>(c)) || c == '"';
  };
  while (begin < end && is_wrapping(body[begin])) ++begin;
  while (end > begin && is_wrapping(body[end - 1])) --end;
  return body.substr(begin, end - begin);
}

ValueWriter KeyValue(const std::string& user_id, const std::string& key) {
  return [user_id, key](JsonWriter& writer) {
    writer.StartObject();
    writer.Key("userId");
    WriteText(writer, user_id);
    writer.Key("id");
    WriteText(writer, key);
    writer.EndObject();
  };
}

ValueWriter BoolValue(bool value) {
  return [value](JsonWriter& writer) { writer.Bool(value); };
}

// Who logged in, and at which gate.
struct Opener {
  std::string user_id;
  std::string gate;
};

// Runs a log-in attempt for the request's source address, unless that source has failed too
// often lately; `check` returns who logged in, or nothing.
template <typename Check>
void LogIn(Call& call, Services& s, Check check) {
  const std::string& source = call.request.remote_addr;
  if (const auto wait = s.throttle.WaitFor(source); wait.count() > 0) {
    throw ReplyError(ReplyCode::kTooManyTries, "Too many failed log-ins: try again in " +
                                                   std::to_string((wait.count() + 999) / 1000) +
                                                   " s");
  }
  const std::optional<Opener> opener = check();
  if (!opener) {
    s.throttle.Failed(source);
    throw ReplyError(ReplyCode::kLogInRefused, "Log-in refused");
  }
  s.throttle.Succeeded(source);
  auto lock = s.db.Lock();
  Reply(call, KeyValue(opener->user_id, s.sessions.Open(opener->user_id, opener->gate)));
}

}  // namespace

void AddGateRoutes(Router& router, Services& s) {
  const RouteOptions open{.needs_key = false};

  router.Add(
      "POST", "/user-card/{}/gate",
      [&s](Call& call) {
        LogIn(call, s, [&]() -> std::optional<Opener> {
          const std::string number = CardNumberOf(call.body);
          if (number.empty()) return std::nullopt;
          auto lock = s.db.Lock();
          const auto card = RecordTable(s.db, kinds::kUserCard).Find({{"number", number}});
          if (!card) return std::nullopt;
          return Opener{card->at("userId"), CardGate(card->at("id"))};
        });
      },
      open);
  router.Add(
      "GET", "/user-card/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        Reply(call, BoolValue(s.sessions.UserOf(call.key, !call.head).has_value()));
      },
      open);
  router.Add(
      "DELETE", "/user-card/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        FreeingSpace(s, [&] { s.sessions.End(call.key); });
        Reply(call);
      },
      open);

  router.Add(
      "POST", "/user/{}/gate",
      [&s](Call& call) {
        const std::string password = ParseObject(call.body)["password"];
        LogIn(call, s, [&]() -> std::optional<Opener> {
          std::optional<Fields> user;
          {
            auto lock = s.db.Lock();
            user = RecordTable(s.db, kinds::kUser).Find({{"id", call.Arg(0)}});
          }  // hashing is slow on purpose; others need not wait for it
          if (!VerifyUserPassword(password, user ? &user->at("passwordHash") : nullptr)) {
            return std::nullopt;
          }
          return Opener{call.Arg(0), kUserGate};
        });
      },
      open);
  router.Add(
      "GET", "/user/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        Reply(call, BoolValue(s.sessions.UserOf(call.key, !call.head) == call.Arg(0)));
      },
      open);
  router.Add(
      "DELETE", "/user/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        if (s.sessions.UserOf(call.key, false) == call.Arg(0)) {
          FreeingSpace(s, [&] { s.sessions.End(call.key); });
        }
        Reply(call);
      },
      open);
}

}  // namespace velto::server
