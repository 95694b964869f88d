#include "crud.h"
#include "ids.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"
#include "time_text.h"

namespace velto::server {

void AddMessageRoutes(Router& router, Services& s) {
  router.Add("POST", "/message/{}", [&s](Call& call) {
    const Fields body = ParseObject(call.body);
    Fields message = Pick(body, kinds::kMessage);
    // The library writes the request time as "rquestTime"; other clients may spell it right.
    const auto misspelt = body.find("rquestTime");
    const auto spelt = body.find("requestTime");
    message["requestTime"] = misspelt != body.end() && !misspelt->second.empty() ? misspelt->second
                             : spelt != body.end()                               ? spelt->second
                                                                                 : std::string();
    if (message["requestTime"].empty()) message["requestTime"] = NowText();
    message["siteId"] = call.Arg(0);
    message["cmid"] = NewId();
    auto lock = s.db.Lock();
    RecordTable(s.db, kinds::kSite).Get({{"id", call.Arg(0)}});
    s.sender.Send(message);
    RecordTable(s.db, kinds::kMessage).Insert(message);
    Reply(call, RecordValue(kinds::kMessage, message));
  });
  router.Add("GET", "/messages/{}", [&s](Call& call) {
    Filter filter = SearchRange(call, {{"siteId", call.Arg(0)}}, "sendTime");
    MatchQuery(call, filter, {"personId"});
    ReplyList(call, s, kinds::kMessage, filter, &kinds::kSite, {{"id", call.Arg(0)}});
  });
}

}  // namespace velto::server
