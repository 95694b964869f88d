#pragma once

#include <httplib.h>

#include <cstdint>
#include <optional>
#include <string>

namespace velto::server {

// The body of a request, read only as its framing allows and at most once. Every failure to
// read it whole is a bad request ("303"): a body cut short, a length that is not a number, a
// chunked body without its last chunk, more bytes than the route takes.
class RequestBody {
 public:
  // `reader` is null on routes that take no body.
  RequestBody(const httplib::Request& request, const httplib::ContentReader* reader);

  // The client sent a body (a non-zero length, or chunks), or may have: framing that cannot be
  // read tells nothing about where the request ends.
  bool present() const { return chunked_ || length_ > 0 || framing_fault_ != nullptr; }
  // Its Content-Length, when it has one.
  std::optional<std::uint64_t> declared_length() const;
  // Whether the connection holds nothing of this request any more, so that it can carry the
  // next one.
  bool consumed() const { return !present() || consumed_; }

  // The whole body as text; "303" when it holds more than `limit` bytes (after decoding).
  std::string ReadText(std::size_t limit);
  // Streams a multipart form. `part` sees each part's headers, `data` its decoded bytes; either
  // stops the reading by returning false, and then reports its reason itself. Returns false
  // when a callback stopped it.
  bool ReadForm(const httplib::MultipartContentHeader& part, const httplib::ContentReceiver& data);

  // Refuses a request with unusable framing before anything is read.
  void RequireUsableFraming() const;

 private:
  const httplib::Request& request_;
  const httplib::ContentReader* reader_;
  bool chunked_ = false;
  std::uint64_t length_ = 0;
  const char* framing_fault_ = nullptr;
  bool consumed_ = false;
};

}  // namespace velto::server
