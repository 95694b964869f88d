#include "crud.h"
#include "ids.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"

namespace velto::server {
namespace {

// The card named in the path, when the caller may use it: an administrator any, a user its own.
Fields CardOf(Call& call, Services& s) {
  const Fields card = RecordTable(s.db, kinds::kUserCard).Get({{"id", call.Arg(0)}});
  RequireSelfOrAdmin(call, card.at("userId"));
  return card;
}

}  // namespace

void AddUserCardRoutes(Router& router, Services& s) {
  router.Add("GET", "/user-cards/{}", [&s](Call& call) {
    RequireSelfOrAdmin(call, call.Arg(0));
    ReplyList(call, s, kinds::kUserCard, {{{"userId", call.Arg(0)}}}, &kinds::kUser,
              {{"id", call.Arg(0)}});
  });
  router.Add("POST", "/user-cards/{}",
             [&s](Call& call) {
               const Fields body = ParseObject(call.body);
               Fields card{{"id", IdOrNew(body, "id")}, {"userId", call.Arg(0)}};
               {
                 auto lock = s.db.Lock();
                 RecordTable cards(s.db, kinds::kUserCard);
                 do {
                   card["number"] = NewCardNumber();
                 } while (cards.Find({{"number", card["number"]}}));
               }
               AddRecord(call, s, kinds::kUserCard, card, {{"id", card["id"]}}, &kinds::kUser,
                         {{"id", call.Arg(0)}});
             },
             {.admin_only = true});
  router.Add("DELETE", "/user-card/{}", [&s](Call& call) {
    {
      auto lock = s.db.Lock();
      CardOf(call, s);
    }
    // A key opened with the card ends with it: a stolen card is revoked by deleting it.
    RemoveWithDependents(call, s, kinds::kUserCard, {{"id", call.Arg(0)}}, [&](DoomedFiles&) {
      s.sessions.EndAllOfCard(call.Arg(0));
      RecordTable(s.db, kinds::kUserCard).Remove({{"id", call.Arg(0)}});
    });
  });
  router.Add("GET", "/user-card/{}/number", [&s](Call& call) {
    auto lock = s.db.Lock();
    const Fields card = CardOf(call, s);
    Reply(call, [number = card.at("number")](JsonWriter& writer) { WriteText(writer, number); });
  });
}

}  // namespace velto::server
