#include "upload_form.h"

#include <exception>

#include "form_text.h"
#include "reply.h"
#include "utf8.h"

namespace velto::server {
namespace {

// Text parts are short values; anything more is not a form this server understands.
constexpr size_t kMaxTextPart = 64 * 1024;
constexpr size_t kMaxParts = 32;

[[noreturn]] void Refuse(const std::string& why) {
  throw ReplyError(ReplyCode::kBadRequest, "Bad request: " + why);
}

void RequireText(const std::string& text) {
  if (!IsUtf8(text)) Refuse("form text that is not UTF-8");
}

}  // namespace

UploadForm ReadUploadForm(RequestBody& body, FileStore::Upload& sink, std::uint64_t max_file) {
  // The form around the file: its text parts and the framing of every part.
  constexpr std::uint64_t kMaxFraming = kMaxParts * (kMaxTextPart + 4096);
  if (const auto length = body.declared_length(); length && *length > max_file + kMaxFraming) {
    Refuse("a file of more than " + std::to_string(max_file) + " bytes");
  }
  UploadForm form;
  std::string part_name;
  bool in_file = false;
  std::string raw_text;
  size_t parts = 0;
  std::string refusal;
  std::exception_ptr write_error;  // carried past the HTTP library's reading code
  const auto finish_text = [&] {
    if (!part_name.empty() && !in_file) form.text[part_name] = DecodeFormText(raw_text);
  };
  const bool complete = body.ReadForm(
      [&](const httplib::MultipartFormData& part) {
        finish_text();
        part_name = part.name;
        in_file = part.name == "file";
        raw_text.clear();
        if (++parts > kMaxParts) {
          refusal = "a form of more than " + std::to_string(kMaxParts) + " parts";
        } else if (in_file && form.has_file) {
          refusal = "a form with more than one file part";
        }
        form.has_file = form.has_file || in_file;
        if (in_file) form.file_name = part.filename;
        return refusal.empty();
      },
      [&](const char* data, size_t size) {
        if (in_file) {
          if (sink.size() + size > max_file) {
            refusal = "a file of more than " + std::to_string(max_file) + " bytes";
            return false;
          }
          try {
            sink.Write(data, size);
          } catch (...) {
            write_error = std::current_exception();
            return false;
          }
          return true;
        }
        if (raw_text.size() + size > kMaxTextPart) {
          refusal = "a text part of more than " + std::to_string(kMaxTextPart) + " bytes";
          return false;
        }
        raw_text.append(data, size);
        return true;
      });
  if (write_error) std::rethrow_exception(write_error);
  if (!complete) Refuse(refusal);
  finish_text();
  for (const auto& [name, text] : form.text) RequireText(text);
  RequireText(form.file_name);
  return form;
}

}  // namespace velto::server
