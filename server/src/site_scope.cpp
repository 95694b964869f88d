#include "site_scope.h"

#include <map>
#include <optional>

#include "kinds.h"

namespace velto::server {
namespace {

// How a route's first path value leads to the site of what it touches.
struct SiteSource {
  enum How { kNotPerSite, kSiteId, kRecordId };
  How how;
  const RecordKind* record = nullptr;  // kRecordId: the kind whose "id" the value is
};

const std::map<std::string, SiteSource>& SiteSources() {
  static const std::map<std::string, SiteSource> sources{
      // Users, cards, log-ins and the site records: not kept per site.
      {"/users", {SiteSource::kNotPerSite}},
      {"/user/{}", {SiteSource::kNotPerSite}},
      {"/user/{}/gate", {SiteSource::kNotPerSite}},
      {"/user-cards/{}", {SiteSource::kNotPerSite}},
      {"/user-card/{}", {SiteSource::kNotPerSite}},
      {"/user-card/{}/number", {SiteSource::kNotPerSite}},
      {"/user-card/{}/gate", {SiteSource::kNotPerSite}},
      {"/sites", {SiteSource::kNotPerSite}},
      {"/site/{}", {SiteSource::kNotPerSite}},
      {"/site/logo", {SiteSource::kNotPerSite}},
      {"/site/{}/logo", {SiteSource::kNotPerSite}},
      // The site's id is the first value.
      {"/persons/{}", {SiteSource::kSiteId}},
      {"/persons/{}/enter", {SiteSource::kSiteId}},
      {"/person/{}/{}", {SiteSource::kSiteId}},
      {"/consent/{}/{}", {SiteSource::kSiteId}},
      {"/issues/{}/{}", {SiteSource::kSiteId}},
      {"/portals/{}/{}", {SiteSource::kSiteId}},
      {"/files/{}/log", {SiteSource::kSiteId}},
      {"/message/{}", {SiteSource::kSiteId}},
      {"/messages/{}", {SiteSource::kSiteId}},
      {"/billing/{}", {SiteSource::kSiteId}},
      {"/billing/{}/{}", {SiteSource::kSiteId}},
      // The first value is a record that knows its site.
      {"/issue/{}", {SiteSource::kRecordId, &kinds::kIssue}},
      {"/files/{}", {SiteSource::kRecordId, &kinds::kIssue}},
      {"/surveys/{}", {SiteSource::kRecordId, &kinds::kIssue}},
      {"/file/{}", {SiteSource::kRecordId, &kinds::kFile}},
      {"/file/{}/data", {SiteSource::kRecordId, &kinds::kFile}},
      {"/portal/{}", {SiteSource::kRecordId, &kinds::kPortal}},
      {"/survey/{}", {SiteSource::kRecordId, &kinds::kSurvey}},
      {"/survey/{}/values", {SiteSource::kRecordId, &kinds::kSurvey}},
      {"/survey/{}/values/complete", {SiteSource::kRecordId, &kinds::kSurvey}},
  };
  return sources;
}

// The site of the record `kind` with id `id`; none when there is no such record.
std::optional<std::string> SiteOfRecord(Services& s, const RecordKind& kind,
                                        const std::string& id) {
  auto lock = s.db.Lock();
  const auto record = RecordTable(s.db, kind).Find({{"id", id}});
  if (!record) return std::nullopt;
  return record->at("siteId");
}

[[noreturn]] void Refuse() {
  throw ReplyError(ReplyCode::kNotAllowed,
                   "Not allowed: a user works only with the persons of the sites its roles name");
}

}  // namespace

void RequireSiteOfRequest(Services& services, const Caller& caller, const std::string& pattern,
                          const std::vector<std::string>& args) {
  if (caller.admin) return;
  const auto found = SiteSources().find(pattern);
  if (found == SiteSources().end()) Refuse();
  const SiteSource& source = found->second;
  if (source.how == SiteSource::kNotPerSite) return;
  if (source.how == SiteSource::kSiteId) {
    if (!caller.WorksAt(args.at(0))) Refuse();
    return;
  }
  const std::optional<std::string> site = SiteOfRecord(services, *source.record, args.at(0));
  if (site && !caller.WorksAt(*site)) Refuse();
}

}  // namespace velto::server
