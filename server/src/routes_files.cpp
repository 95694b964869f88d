#include "cascade.h"
#include "crud.h"
#include "ids.h"
#include "json_body.h"
#include "kinds.h"
#include "read_log.h"
#include "request_head.h"
#include "routes.h"
#include "upload_form.h"

namespace velto::server {
namespace {

// Receives the form of an upload: "file", "file-name", "hlscName", "hlscDate" and an optional
// "endTime". The issue is checked first, so that nothing is written for an upload that goes
// nowhere; the bytes go straight to disk, and the record gets their real size.
void Upload(Call& call, Services& s) {
  {
    auto lock = s.db.Lock();
    RecordTable(s.db, kinds::kIssue).Get({{"id", call.Arg(0)}});
  }
  FileStore::Upload upload(s.files.folder());
  const UploadForm form = ReadUploadForm(call.body_reader, upload, s.max_upload);
  if (!form.has_file) throw ReplyError(ReplyCode::kBadRequest, "Bad request: no file part");
  Fields file = Pick(form.text, kinds::kFile);
  const auto name_part = form.text.find("file-name");
  file["fileName"] = name_part != form.text.end() && !name_part->second.empty() ? name_part->second
                                                                                : form.file_name;
  file["id"] = NewId();
  file["path"] = file["id"];
  file["fileSize"] = std::to_string(upload.size());

  auto lock = s.db.Lock();
  // The issue may have gone while the bytes came in.
  const Fields issue = RecordTable(s.db, kinds::kIssue).Get({{"id", call.Arg(0)}});
  file["siteId"] = issue.at("siteId");
  file["personId"] = issue.at("personId");
  file["issueId"] = issue.at("id");
  upload.Keep(s.files, file["path"]);
  try {
    RecordTable(s.db, kinds::kFile).Insert(file);
  } catch (...) {
    s.files.Remove(file["path"]);
    throw;
  }
  Reply(call, RecordValue(kinds::kFile, std::move(file)));
}

// Streams a file's bytes. Failures are HTTP statuses here: the body of a success is the file.
void Download(Call& call, Services& s) {
  auto lock = s.db.Lock();
  const Fields file = RecordTable(s.db, kinds::kFile).Get({{"id", call.Arg(0)}});
  if (!s.files.Serve(file.at("path"), file.at("fileName"),
                     call.request.get_header_value(kRangeHeader), call.response)) {
    throw std::runtime_error("the bytes of file " + file.at("id") + " are missing");
  }
  LogFileUse(s, call, file, kDownloadAction);
}

}  // namespace

void AddFileRoutes(Router& router, Services& s) {
  router.Add("GET", "/files/{}", [&s](Call& call) {
    Filter filter{{{"issueId", call.Arg(0)}}};
    if (const std::string name = call.Query("name"); !name.empty()) {
      filter.equal["fileName"] = name;
    }
    ReplyList(call, s, kinds::kFile, filter, &kinds::kIssue, {{"id", call.Arg(0)}});
  });
  router.Add("POST", "/files/{}", [&s](Call& call) { Upload(call, s); }, {.streams_body = true});
  router.Add("GET", "/files/{}/log", [&s](Call& call) {
    Filter filter = SearchRange(call, {{"siteId", call.Arg(0)}}, "logTime");
    MatchQuery(call, filter, {"personId", "fileId", "action"});
    ReplyList(call, s, kinds::kFileLog, filter, &kinds::kSite, {{"id", call.Arg(0)}});
  });
  router.Add("GET", "/file/{}", [&s](Call& call) {
    auto lock = s.db.Lock();
    const Fields file = RecordTable(s.db, kinds::kFile).Get({{"id", call.Arg(0)}});
    LogFileUse(s, call, file, kReadAction);
    Reply(call, RecordValue(kinds::kFile, file));
  });
  router.Add("PUT", "/file/{}", [&s](Call& call) {
    ModifyRecord(call, s, kinds::kFile, {{"id", call.Arg(0)}});
  });
  router.Add("DELETE", "/file/{}", [&s](Call& call) {
    auto lock = s.db.Lock();
    const Fields file = RecordTable(s.db, kinds::kFile).Get({{"id", call.Arg(0)}});
    FreeingSpace(s, [&] {
      DoomedFiles doomed(s.files);
      DeleteFile(s, file, doomed);
      doomed.RemoveAll();
    });
    Reply(call);
  });
  router.Add("GET", "/file/{}/data", [&s](Call& call) { Download(call, s); }, {.raw_reply = true});
}

}  // namespace velto::server
