#include "crud.h"
#include "kinds.h"
#include "person_record_routes.h"
#include "portal_page.h"
#include "read_log.h"
#include "request_head.h"
#include "routes.h"
#include "time_text.h"

namespace velto::server {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

// A page for a browser: nothing but its own style, never framed, no address passed on.
void SetPage(httplib::Response& response, int status, std::string page) {
  response.status = status;
  response.set_header("Content-Security-Policy", PortalPagePolicy());
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("X-Frame-Options", "DENY");
  response.set_header("Referrer-Policy", "no-referrer");
  response.set_content(std::move(page), kHtml);
}

// Everything the gate page shows. The caller holds the database lock.
PortalView LoadView(Services& s, Fields portal) {
  PortalView view;
  const Fields of_person{{"siteId", portal.at("siteId")}, {"personId", portal.at("personId")}};
  view.person = RecordTable(s.db, kinds::kPerson)
                    .Find({{"siteId", portal.at("siteId")}, {"id", portal.at("personId")}})
                    .value_or(Fields{{"name", ""}});
  if (const auto site = RecordTable(s.db, kinds::kSite).Find({{"id", portal.at("siteId")}})) {
    view.site_name = site->at("name");
  }
  RecordTable files(s.db, kinds::kFile);
  for (Fields& issue : RecordTable(s.db, kinds::kIssue).List({of_person})) {
    auto issue_files = files.List({{{"issueId", issue.at("id")}}});
    view.issues.push_back({std::move(issue), std::move(issue_files)});
  }
  view.portal = std::move(portal);
  return view;
}

void GatePage(Call& call, Services& s) {
  auto lock = s.db.Lock();
  const auto portal = RecordTable(s.db, kinds::kPortal).Find({{"id", call.Arg(0)}});
  if (!portal) {
    SetPage(call.response, 404, MissingPortalPage());
    return;
  }
  const PortalView view = LoadView(s, *portal);
  call.response.set_header("Cache-Control", "no-store");
  if (HasPassed(portal->at("endTime"))) {
    SetPage(call.response, 410, ExpiredPortalPage(view));
    return;
  }
  LogVisit(s, call, *portal);
  SetPage(call.response, 200, PortalPage(view));
}

// A file of the portal's person, while the portal is valid; nothing else is reachable here.
void PortalDownload(Call& call, Services& s) {
  auto lock = s.db.Lock();
  const auto portal = RecordTable(s.db, kinds::kPortal).Find({{"id", call.Arg(0)}});
  const auto file = RecordTable(s.db, kinds::kFile).Find({{"id", call.Arg(1)}});
  const bool allowed = portal && file && !HasPassed(portal->at("endTime")) &&
                       !file->at("issueId").empty() && file->at("siteId") == portal->at("siteId") &&
                       file->at("personId") == portal->at("personId");
  if (!allowed || !s.files.Serve(file->at("path"), file->at("fileName"),
                                 call.request.get_header_value(kRangeHeader), call.response)) {
    SetPage(call.response, 404, MissingPortalPage());
    return;
  }
  LogFileUse(s, call, *file, kDownloadAction);
}

}  // namespace

void AddPortalRoutes(Router& router, Services& s) {
  const RouteOptions page{.needs_key = false, .raw_reply = true};

  AddPersonRecordRoutes(router, s, kinds::kPortal, "/portals/{}/{}", "/portal/{}");
  router.Add("DELETE", "/portal/{}", [&s](Call& call) {
    RemoveRecord(call, s, kinds::kPortal, {{"id", call.Arg(0)}});
  });
  router.Add(
      "GET", "/portal/{}/gate", [&s](Call& call) { GatePage(call, s); }, page);
  router.Add(
      "GET", "/portal/{}/file/{}", [&s](Call& call) { PortalDownload(call, s); }, page);
}

}  // namespace velto::server
