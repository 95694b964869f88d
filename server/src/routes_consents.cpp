#include "crud.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"
#include "time_text.h"

namespace velto::server {
namespace {

// Stores the consent's time on the person too, where "consentTime" is read.
void MarkPerson(Services& s, const Fields& where, const std::string& time) {
  RecordTable(s.db, kinds::kPerson)
      .Update({{"siteId", where.at("siteId")}, {"id", where.at("personId")}},
              {{"consentTime", time}});
}

}  // namespace

void AddConsentRoutes(Router& router, Services& s) {
  router.Add("POST", "/consent/{}/{}", [&s](Call& call) {
    const Fields body = ParseObject(call.body);
    const Fields where{{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}};
    Fields consent = Pick(body, kinds::kConsent);
    if (consent["regTime"].empty()) consent["regTime"] = NowText();
    consent.insert(where.begin(), where.end());
    AddRecord(call, s, kinds::kConsent, consent, where, &kinds::kPerson,
              {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
    auto lock = s.db.Lock();
    MarkPerson(s, where, consent["regTime"]);
  });
  router.Add("GET", "/consent/{}/{}", [&s](Call& call) {
    ReplyRecord(call, s, kinds::kConsent, {{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}});
  });
  router.Add("PUT", "/consent/{}/{}", [&s](Call& call) {
    const Fields where{{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}};
    ModifyRecord(call, s, kinds::kConsent, where);
    auto lock = s.db.Lock();
    MarkPerson(s, where, RecordTable(s.db, kinds::kConsent).Get(where).at("regTime"));
  });
  router.Add("DELETE", "/consent/{}/{}", [&s](Call& call) {
    const Fields where{{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}};
    auto lock = s.db.Lock();
    FreeingSpace(s, [&] {
      Transaction transaction(s.db);
      if (RecordTable(s.db, kinds::kConsent).Remove(where) == 0) {
        throw RecordNotFound();
      }
      MarkPerson(s, where, "");
      transaction.Commit();
    });
    Reply(call);
  });
}

}  // namespace velto::server
