#include "cascade.h"
#include "crud.h"
#include "kinds.h"
#include "person_record_routes.h"
#include "routes.h"

namespace velto::server {

void AddIssueRoutes(Router& router, Services& s) {
  AddPersonRecordRoutes(router, s, kinds::kIssue, "/issues/{}/{}", "/issue/{}");
  router.Add("DELETE", "/issue/{}", [&s](Call& call) {
    RemoveWithDependents(call, s, kinds::kIssue, {{"id", call.Arg(0)}},
                         [&](DoomedFiles& doomed) { DeleteIssue(s, call.Arg(0), doomed); });
  });
}

}  // namespace velto::server
