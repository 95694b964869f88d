#include "access.h"
#include "cascade.h"
#include "crud.h"
#include "json_body.h"
#include "kinds.h"
#include "password.h"
#include "routes.h"

namespace velto::server {
namespace {

// A user without a password cannot log in at the user gate (only with a card).
std::string HashOrNothing(const std::string& password) {
  return password.empty() ? std::string() : HashPassword(password);
}

// The password a user's body sends, or nothing: it is no member of the record, only its hash is.
std::string PasswordOf(const Fields& body) {
  const auto password = body.find("password");
  return password == body.end() ? std::string() : password->second;
}

// A user who is no administrator may change its own record, but never its roles.
void RequireRolesKept(const Call& call, const Fields& changes, const Fields& user) {
  const auto roles = changes.find("roles");
  if (!call.caller.admin && roles != changes.end() && roles->second != user.at("roles")) {
    throw ReplyError(ReplyCode::kNotAllowed,
                     "Not allowed: only an administrator changes the roles of a user");
  }
}

// Refuses ("405") to leave no administrator, when `user_id` stops being one: nobody could
// manage users, cards and sites any more.
void RequireAnotherAdministrator(Database& db, const std::string& user_id) {
  for (const Fields& user : RecordTable(db, kinds::kUser).List({})) {
    if (user.at("id") != user_id && IsAdministrator(user.at("roles"))) return;
  }
  throw ReplyError(ReplyCode::kNotAllowed,
                   "Not allowed: the last administrator can be neither deleted nor demoted");
}

}  // namespace

void AddUserRoutes(Router& router, Services& s) {
  const RouteOptions admin{.admin_only = true};

  router.Add(
      "GET", "/users", [&s](Call& call) { ReplyList(call, s, kinds::kUser, {}, nullptr, {}); },
      admin);
  router.Add(
      "POST", "/users",
      [&s](Call& call) {
        const Fields body = ParseObject(call.body);
        Fields user = Pick(body, kinds::kUser);
        user["id"] = IdOrNew(body, "id");
        user["passwordHash"] = HashOrNothing(PasswordOf(body));
        AddRecord(call, s, kinds::kUser, user, {{"id", user["id"]}}, nullptr, {});
      },
      admin);
  router.Add("GET", "/user/{}", [&s](Call& call) {
    RequireSelfOrAdmin(call, call.Arg(0));
    ReplyRecord(call, s, kinds::kUser, {{"id", call.Arg(0)}});
  });
  router.Add("PUT", "/user/{}", [&s](Call& call) {
    RequireSelfOrAdmin(call, call.Arg(0));
    const Fields body = ParseObject(call.body);
    Fields changes = Pick(body, kinds::kUser);
    // An empty password in a changed record means "keep the password".
    if (const std::string password = PasswordOf(body); !password.empty()) {
      changes["passwordHash"] = HashPassword(password);
    }
    auto lock = s.db.Lock();
    RecordTable users(s.db, kinds::kUser);
    const Fields where{{"id", call.Arg(0)}};
    const Fields user = users.Get(where);
    RequireRolesKept(call, changes, user);
    const auto roles = changes.find("roles");
    if (roles != changes.end() && IsAdministrator(user.at("roles")) &&
        !IsAdministrator(roles->second)) {
      RequireAnotherAdministrator(s.db, call.Arg(0));
    }
    users.Update(where, changes);
    // Whoever knew the old password is out; this request's own key may stay.
    if (changes.count("passwordHash") != 0) s.sessions.EndPasswordSessionsOf(call.Arg(0), call.key);
    Reply(call, RecordValue(kinds::kUser, users.Get(where)));
  });
  router.Add(
      "DELETE", "/user/{}",
      [&s](Call& call) {
        RemoveWithDependents(call, s, kinds::kUser, {{"id", call.Arg(0)}}, [&](DoomedFiles&) {
          const Fields user = RecordTable(s.db, kinds::kUser).Get({{"id", call.Arg(0)}});
          if (IsAdministrator(user.at("roles"))) {
            RequireAnotherAdministrator(s.db, call.Arg(0));
          }
          DeleteUser(s, call.Arg(0));
        });
      },
      admin);
}

}  // namespace velto::server
