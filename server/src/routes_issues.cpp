#include "cascade.h"
#include "crud.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"

namespace velto::server {

void AddIssueRoutes(Router& router, Services& s) {
  router.Add("GET", "/issues/{}/{}", [&s](Call& call) {
    Filter filter{{{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}}};
    if (const std::string name = call.Query("name"); !name.empty()) filter.equal["name"] = name;
    ReplyList(call, s, kinds::kIssue, filter, &kinds::kPerson,
              {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("POST", "/issues/{}/{}", [&s](Call& call) {
    const Fields body = ParseObject(call.body);
    Fields issue = Pick(body, {"name", "endTime"});
    issue["siteId"] = call.Arg(0);
    issue["personId"] = call.Arg(1);
    issue["id"] = IdOrNew(body, "id");
    AddRecord(call, s, kinds::kIssue, issue, {{"id", issue["id"]}}, &kinds::kPerson,
              {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("GET", "/issue/{}", [&s](Call& call) {
    ReplyRecord(call, s, kinds::kIssue, {{"id", call.Arg(0)}});
  });
  router.Add("PUT", "/issue/{}", [&s](Call& call) {
    ModifyRecord(call, s, kinds::kIssue, {{"id", call.Arg(0)}}, {"name", "endTime"});
  });
  router.Add("DELETE", "/issue/{}", [&s](Call& call) {
    RemoveWithDependents(call, s, kinds::kIssue, {{"id", call.Arg(0)}},
                         [&](DoomedFiles& doomed) { DeleteIssue(s, call.Arg(0), doomed); });
  });
}

}  // namespace velto::server
