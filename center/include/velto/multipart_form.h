#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "velto/local_time.h"
#include "velto/read_file.h"
#include "velto/transport.h"

namespace velto {

// A multipart/form-data body, streamed while it is sent. Files are opened when their part
// is added and read from disk as the body goes out; the size is known beforehand.
class TMultipartForm : public BodySource {
 public:
  // The boundary is made from the local time: "--------" then month, day, two-digit year,
  // hours, minutes, seconds and milliseconds, zero-padded.
  explicit TMultipartForm(const LocalTime& made = LocalTimeNow());
  ~TMultipartForm() override;

  const std::string& Boundary() const { return boundary_; }
  // "multipart/form-data; boundary=" and the boundary.
  std::string ContentType() const;

  // text/plain, quoted-printable; `value` is ASCII (callers URL-encode it first).
  void AddTextPart(std::u16string_view name, std::string_view value);
  // text/plain without a transfer encoding.
  void AddBareTextPart(std::u16string_view name, std::string_view value);
  // The file's bytes, binary, with the bare file name (its ", CR and LF as %22, %0D and
  // %0A) and a type chosen by its extension.
  void AddFilePart(std::u16string_view name, const std::u16string& path);

  uint64_t Size() const override;
  size_t Read(char* buffer, size_t capacity) override;
  bool Rewind() override;

 private:
  struct Segment;

  void AddPart(std::u16string_view name, std::u16string_view file_name,
               std::string_view content_type, std::string_view transfer_encoding);
  void AddBytes(std::string bytes);
  void Close();

  std::string boundary_;
  std::vector<Segment> segments_;
  bool closed_ = false;
  size_t current_ = 0;
  uint64_t offset_ = 0;  // within the current segment
};

// The part of a path after its last "\", "/" or ":" (the whole path if it has none). "/"
// ends a folder name on every platform, so "C:/scan/a.png" gives "a.png".
std::u16string BareFileName(std::u16string_view path);

// Quoted-printable encoding (RFC 2045) with CR LF soft line breaks.
std::string QuotedPrintable(std::string_view bytes);

}  // namespace velto
