#include "request_body.h"

#include <charconv>

#include "ascii_text.h"
#include "reply.h"

namespace velto::server {
namespace {

[[noreturn]] void Refuse(const std::string& why) {
  throw ReplyError(ReplyCode::kBadRequest, "Bad request: " + why);
}

}  // namespace

RequestBody::RequestBody(const httplib::Request& request, const httplib::ContentReader* reader)
    : request_(request), reader_(reader) {
  const size_t encodings = request.get_header_value_count("Transfer-Encoding");
  const size_t lengths = request.get_header_value_count("Content-Length");
  if (encodings > 0) {
    chunked_ = true;
    // Anything but plain chunks, or a length beside them, can be read two ways.
    if (encodings > 1 || lengths > 0 ||
        !EqualsIgnoringCase(request.get_header_value("Transfer-Encoding"), "chunked")) {
      framing_fault_ = "a Transfer-Encoding other than chunked, or with a Content-Length";
    }
    return;
  }
  for (size_t i = 0; i < lengths; ++i) {
    const std::string text = request.get_header_value("Content-Length", i);
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        (i > 0 && length != length_)) {
      framing_fault_ = "a Content-Length that is not one decimal number";
      return;
    }
    length_ = length;
  }
}

std::optional<std::uint64_t> RequestBody::declared_length() const {
  if (chunked_) return std::nullopt;
  return length_;
}

void RequestBody::RequireUsableFraming() const {
  if (framing_fault_ != nullptr) Refuse(framing_fault_);
}

std::string RequestBody::ReadText(std::size_t limit) {
  RequireUsableFraming();
  std::string text;
  if (!present() || reader_ == nullptr) return text;
  if (length_ > limit) Refuse("the body is longer than " + std::to_string(limit) + " bytes");
  bool too_long = false;
  const bool complete = (*reader_)([&](const char* data, size_t size) {
    too_long = text.size() + size > limit;
    if (!too_long) text.append(data, size);
    return !too_long;
  });
  if (too_long) Refuse("the body is longer than " + std::to_string(limit) + " bytes");
  if (!complete) Refuse("the body ended before its end");
  consumed_ = true;
  return text;
}

bool RequestBody::ReadForm(const httplib::MultipartContentHeader& part,
                           const httplib::ContentReceiver& data) {
  RequireUsableFraming();
  if (!request_.is_multipart_form_data() || reader_ == nullptr || !present()) {
    Refuse("a multipart form is expected");
  }
  bool stopped = false;
  const bool complete = (*reader_)(
      [&](const httplib::MultipartFormData& header) {
        stopped = !part(header);
        return !stopped;
      },
      [&](const char* bytes, size_t size) {
        stopped = !data(bytes, size);
        return !stopped;
      });
  if (stopped) return false;
  if (!complete) Refuse("the form is malformed or ends before its end");
  consumed_ = true;
  return true;
}

}  // namespace velto::server
