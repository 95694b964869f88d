#include "crud.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"
#include "time_text.h"

namespace velto::server {
namespace {

// A billing entry's "id" names what was billed (an issue, a message), so it need not be unique;
// an entry without one gets a new id. The person comes from the path when it has one.
void AddEntry(Call& call, Services& s, const std::string* person_id) {
  const Fields body = ParseObject(call.body);
  Fields entry = Pick(body, kinds::kBilling);
  entry["siteId"] = call.Arg(0);
  if (person_id != nullptr) entry["personId"] = *person_id;
  entry["id"] = IdOrNew(body, "id");
  const std::string now = NowText();
  if (entry["regTime"].empty()) entry["regTime"] = now;
  if (entry["billingDate"].empty()) entry["billingDate"] = now.substr(0, 10);
  auto lock = s.db.Lock();
  RecordTable(s.db, kinds::kSite).Get({{"id", call.Arg(0)}});
  RecordTable(s.db, kinds::kBilling).Insert(entry);
  Reply(call, RecordValue(kinds::kBilling, entry));
}

}  // namespace

void AddBillingRoutes(Router& router, Services& s) {
  router.Add("POST", "/billing/{}", [&s](Call& call) { AddEntry(call, s, nullptr); });
  router.Add("POST", "/billing/{}/{}", [&s](Call& call) { AddEntry(call, s, &call.Arg(1)); });
  router.Add("GET", "/billing/{}", [&s](Call& call) {
    Filter filter = SearchRange(call, {{"siteId", call.Arg(0)}}, "billingDate");
    MatchQuery(call, filter, {"personId", "classCd"});
    ReplyList(call, s, kinds::kBilling, filter, &kinds::kSite, {{"id", call.Arg(0)}});
  });
}

}  // namespace velto::server
