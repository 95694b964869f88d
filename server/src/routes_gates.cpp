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

[[noreturn]] void RefuseLogIn() {
  throw ReplyError(ReplyCode::kLogInRefused, "Log-in refused");
}

}  // namespace

void AddGateRoutes(Router& router, Services& s) {
  const RouteOptions open{.needs_key = false};

  router.Add(
      "POST", "/user-card/{}/gate",
      [&s](Call& call) {
        const std::string number = CardNumberOf(call.body);
        if (number.empty()) RefuseLogIn();
        auto lock = s.db.Lock();
        const auto card = RecordTable(s.db, kinds::kUserCard).Find({{"number", number}});
        if (!card) RefuseLogIn();
        const std::string& user_id = card->at("userId");
        Reply(call, KeyValue(user_id, s.sessions.Open(user_id, kCardGate)));
      },
      open);
  router.Add(
      "GET", "/user-card/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        Reply(call, BoolValue(s.sessions.UserOf(call.key).has_value()));
      },
      open);
  router.Add(
      "DELETE", "/user-card/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        s.sessions.End(call.key);
        Reply(call);
      },
      open);

  router.Add(
      "POST", "/user/{}/gate",
      [&s](Call& call) {
        const std::string password = ParseObject(call.body)["password"];
        auto lock = s.db.Lock();
        const auto user = RecordTable(s.db, kinds::kUser).Find({{"id", call.Arg(0)}});
        lock.unlock();  // hashing is slow on purpose; others need not wait for it
        if (!user || !VerifyPassword(password, user->at("passwordHash"))) RefuseLogIn();
        lock.lock();
        Reply(call, KeyValue(call.Arg(0), s.sessions.Open(call.Arg(0), kUserGate)));
      },
      open);
  router.Add(
      "GET", "/user/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        Reply(call, BoolValue(s.sessions.UserOf(call.key) == call.Arg(0)));
      },
      open);
  router.Add(
      "DELETE", "/user/{}/gate",
      [&s](Call& call) {
        auto lock = s.db.Lock();
        if (s.sessions.UserOf(call.key) == call.Arg(0)) s.sessions.End(call.key);
        Reply(call);
      },
      open);
}

}  // namespace velto::server
