#include "cascade.h"
#include "crud.h"
#include "ids.h"
#include "json_body.h"
#include "kinds.h"
#include "routes.h"
#include "upload_form.h"

namespace velto::server {
namespace {

// Receives a logo form and makes it the site's logo; a form without a file removes the logo.
// The site id comes from the path, or from the form's "id" part when the path has none; a
// site in the path is checked before anything is read.
void SetLogo(Call& call, Services& s, const std::string* path_site_id) {
  if (path_site_id != nullptr) {
    auto lock = s.db.Lock();
    RecordTable(s.db, kinds::kSite).Get({{"id", *path_site_id}});
  }
  FileStore::Upload upload(s.files.folder());
  const UploadForm form = ReadUploadForm(call.body_reader, upload, s.max_upload);
  const auto id_part = form.text.find("id");
  const std::string site_id = path_site_id != nullptr      ? *path_site_id
                              : id_part != form.text.end() ? id_part->second
                                                           : std::string();
  auto lock = s.db.Lock();
  RecordTable sites(s.db, kinds::kSite);
  const Fields site = sites.Get({{"id", site_id}});
  DoomedFiles doomed(s.files);
  Transaction transaction(s.db);
  RecordTable files(s.db, kinds::kFile);
  if (const auto old = files.Find({{"id", site.at("fileId")}, {"issueId", ""}})) {
    DeleteFile(s, *old, doomed);
  }
  std::string file_id;
  if (form.has_file) {
    file_id = NewId();
    const auto name_part = form.text.find("file-name");
    files.Insert(
        {{"siteId", site_id},
         {"id", file_id},
         {"path", file_id},
         {"fileName", name_part != form.text.end() && !name_part->second.empty() ? name_part->second
                                                                                 : form.file_name},
         {"fileSize", std::to_string(upload.size())}});
    upload.Keep(s.files, file_id);
  }
  try {
    sites.Update({{"id", site_id}}, {{"fileId", file_id}});
    transaction.Commit();
  } catch (...) {
    if (!file_id.empty()) s.files.Remove(file_id);
    throw;
  }
  doomed.RemoveAll();
  Reply(call, RecordValue(kinds::kSite, sites.Get({{"id", site_id}})));
}

}  // namespace

void AddSiteRoutes(Router& router, Services& s) {
  const RouteOptions admin{.admin_only = true};
  const RouteOptions upload{.admin_only = true, .streams_body = true};

  router.Add("GET", "/sites",
             [&s](Call& call) { ReplyList(call, s, kinds::kSite, {}, nullptr, {}); });
  router.Add(
      "POST", "/sites",
      [&s](Call& call) {
        const Fields body = ParseObject(call.body);
        Fields site = Pick(body, kinds::kSite);
        site["id"] = IdOrNew(body, "id");
        AddRecord(call, s, kinds::kSite, site, {{"id", site["id"]}}, nullptr, {});
      },
      admin);
  router.Add(
      "POST", "/site/logo", [&s](Call& call) { SetLogo(call, s, nullptr); }, upload);
  router.Add("GET", "/site/{}", [&s](Call& call) {
    ReplyRecord(call, s, kinds::kSite, {{"id", call.Arg(0)}});
  });
  router.Add(
      "PUT", "/site/{}",
      [&s](Call& call) {
        ModifyRecord(call, s, kinds::kSite, {{"id", call.Arg(0)}});
      },
      admin);
  router.Add(
      "DELETE", "/site/{}",
      [&s](Call& call) {
        RemoveWithDependents(call, s, kinds::kSite, {{"id", call.Arg(0)}},
                             [&](DoomedFiles& doomed) { DeleteSite(s, call.Arg(0), doomed); });
      },
      admin);
  router.Add(
      "POST", "/site/{}/logo", [&s](Call& call) { SetLogo(call, s, &call.Arg(0)); }, upload);
}

}  // namespace velto::server
