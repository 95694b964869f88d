#include "cascade.h"
#include "crud.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"

namespace velto::server {

void AddPersonRoutes(Router& router, Services& s) {
  router.Add("GET", "/persons/{}", [&s](Call& call) {
    Filter filter{{{"siteId", call.Arg(0)}}};
    MatchQuery(call, filter, {"name"});
    ReplyList(call, s, kinds::kPerson, filter, &kinds::kSite, {{"id", call.Arg(0)}});
  });
  router.Add("POST", "/persons/{}", [&s](Call& call) {
    const Fields body = ParseObject(call.body);
    Fields person = Pick(body, kinds::kPerson);
    person["siteId"] = call.Arg(0);
    person["id"] = IdOrNew(body, "id");
    AddRecord(call, s, kinds::kPerson, person, {{"siteId", call.Arg(0)}, {"id", person["id"]}},
              &kinds::kSite, {{"id", call.Arg(0)}});
  });
  // Visits of persons to their portals' gate pages.
  router.Add("GET", "/persons/{}/enter", [&s](Call& call) {
    Filter filter = SearchRange(call, {{"siteId", call.Arg(0)}}, "enterTime");
    MatchQuery(call, filter, {"personId"});
    ReplyList(call, s, kinds::kEnterLog, filter, &kinds::kSite, {{"id", call.Arg(0)}});
  });
  router.Add("GET", "/person/{}/{}", [&s](Call& call) {
    ReplyRecord(call, s, kinds::kPerson, {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("PUT", "/person/{}/{}", [&s](Call& call) {
    ModifyRecord(call, s, kinds::kPerson, {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("DELETE", "/person/{}/{}", [&s](Call& call) {
    RemoveWithDependents(
        call, s, kinds::kPerson, {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}},
        [&](DoomedFiles& doomed) { DeletePerson(s, call.Arg(0), call.Arg(1), doomed); });
  });
}

}  // namespace velto::server
