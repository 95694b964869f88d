#include "person_record_routes.h"

#include <string>

#include "crud.h"
#include "json_body.h"
#include "kinds.h"

namespace velto::server {

void AddPersonRecordRoutes(Router& router, Services& s, const RecordKind& kind,
                           const char* list_path, const char* record_path) {
  router.Add("GET", list_path, [&s, &kind](Call& call) {
    Filter filter{{{"siteId", call.Arg(0)}, {"personId", call.Arg(1)}}};
    MatchQuery(call, filter, {"name"});
    ReplyList(call, s, kind, filter, &kinds::kPerson,
              {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("POST", list_path, [&s, &kind](Call& call) {
    const Fields body = ParseObject(call.body);
    Fields record = Pick(body, kind);
    record["siteId"] = call.Arg(0);
    record["personId"] = call.Arg(1);
    record["id"] = IdOrNew(body, "id");
    AddRecord(call, s, kind, record, {{"id", record["id"]}}, &kinds::kPerson,
              {{"siteId", call.Arg(0)}, {"id", call.Arg(1)}});
  });
  router.Add("GET", record_path, [&s, &kind](Call& call) {
    ReplyRecord(call, s, kind, {{"id", call.Arg(0)}});
  });
  router.Add("PUT", record_path, [&s, &kind](Call& call) {
    ModifyRecord(call, s, kind, {{"id", call.Arg(0)}});
  });
}

}  // namespace velto::server
