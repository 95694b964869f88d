#include "upload_form.h"

#include "form_text.h"
#include "reply.h"

namespace velto::server {
namespace {

// Text parts are short values; anything longer is not a form this server understands.
constexpr size_t kMaxTextPart = 64 * 1024;

}  // namespace

UploadForm ReadUploadForm(const httplib::Request& request, const httplib::ContentReader& reader,
                          FileStore::Upload& sink) {
  if (!request.is_multipart_form_data()) {
    throw ReplyError(ReplyCode::kBadRequest, "Bad request: a multipart form is expected");
  }
  UploadForm form;
  std::string part_name;
  bool in_file = false;
  std::string raw_text;
  bool write_failed = false;
  const auto finish_text = [&] {
    if (!part_name.empty() && !in_file) form.text[part_name] = DecodeFormText(raw_text);
  };
  const bool complete = reader(
      [&](const httplib::MultipartFormData& part) {
        finish_text();
        part_name = part.name;
        in_file = part.name == "file";
        raw_text.clear();
        if (in_file) {
          form.has_file = true;
          form.file_name = part.filename;
        }
        return true;
      },
      [&](const char* data, size_t size) {
        if (in_file) {
          write_failed = write_failed || !sink.Write(data, size);
          return !write_failed;
        }
        raw_text.append(data, size);
        return raw_text.size() <= kMaxTextPart;
      });
  if (write_failed) throw std::runtime_error("cannot store the uploaded file");
  if (!complete) throw ReplyError(ReplyCode::kBadRequest, "Bad request: malformed multipart form");
  finish_text();
  return form;
}

}  // namespace velto::server
