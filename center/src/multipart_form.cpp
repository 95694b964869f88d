#include "velto/multipart_form.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "velto/media_types.h"
#include "velto/unicode.h"

namespace velto {
namespace {

// A file name as a quoted parameter: a quotation mark or line break in it would end the
// value or the part's header, so those go as %22, %0D and %0A, as browsers write them.
std::string QuotedFileName(std::u16string_view file_name) {
  std::string quoted = "\"";
  for (const char byte : Utf16ToUtf8(file_name)) {
    switch (byte) {
      case '"':
        quoted += "%22";
        break;
      case '\r':
        quoted += "%0D";
        break;
      case '\n':
        quoted += "%0A";
        break;
      default:
        quoted += byte;
    }
  }
  return quoted + '"';
}

}  // namespace

// Literal bytes, or a file read from disk as it is sent.
struct TMultipartForm::Segment {
  std::string bytes;
  std::unique_ptr<ReadOnlyFile> file;

  uint64_t Size() const { return file ? file->Size() : bytes.size(); }
};

TMultipartForm::TMultipartForm(const LocalTime& made) {
  char text[32];
  std::snprintf(text, sizeof(text), "--------%02d%02d%02d%02d%02d%02d%03d", made.month, made.day,
                made.year % 100, made.hour, made.minute, made.second, made.millisecond);
  boundary_ = text;
}

TMultipartForm::~TMultipartForm() = default;

std::string TMultipartForm::ContentType() const {
  return "multipart/form-data; boundary=" + boundary_;
}

void TMultipartForm::AddTextPart(std::u16string_view name, std::string_view value) {
  AddPart(name, {}, "text/plain", "quoted-printable");
  AddBytes(QuotedPrintable(value) + "\r\n");
}

void TMultipartForm::AddBareTextPart(std::u16string_view name, std::string_view value) {
  AddPart(name, {}, "text/plain", {});
  AddBytes(std::string(value) + "\r\n");
}

void TMultipartForm::AddFilePart(std::u16string_view name, const std::u16string& path) {
  auto file = std::make_unique<ReadOnlyFile>(path);  // opened now: a bad path fails here
  const std::u16string file_name = BareFileName(path);
  AddPart(name, file_name, MediaTypeOf(file_name), "binary");
  segments_.push_back({{}, std::move(file)});
  AddBytes("\r\n");
}

void TMultipartForm::AddPart(std::u16string_view name, std::u16string_view file_name,
                             std::string_view content_type, std::string_view transfer_encoding) {
  std::string head =
      "--" + boundary_ + "\r\nContent-Disposition: form-data; name=\"" + Utf16ToUtf8(name) + "\"";
  if (!file_name.empty()) head += "; filename=" + QuotedFileName(file_name);
  head += "\r\n";
  if (!content_type.empty()) head += "Content-Type: " + std::string(content_type) + "\r\n";
  if (!transfer_encoding.empty()) {
    head += "Content-Transfer-Encoding: " + std::string(transfer_encoding) + "\r\n";
  }
  AddBytes(head + "\r\n");
}

void TMultipartForm::AddBytes(std::string bytes) {
  segments_.push_back({std::move(bytes), {}});
}

// The closing line goes on once the form is first measured or read.
void TMultipartForm::Close() {
  if (closed_) return;
  closed_ = true;
  AddBytes("--" + boundary_ + "--\r\n");
}

uint64_t TMultipartForm::Size() const {
  uint64_t size = 0;
  for (const Segment& segment : segments_) size += segment.Size();
  return closed_ ? size : size + boundary_.size() + 6;
}

size_t TMultipartForm::Read(char* buffer, size_t capacity) {
  Close();
  size_t filled = 0;
  while (filled < capacity && current_ < segments_.size()) {
    Segment& segment = segments_[current_];
    const size_t wanted =
        static_cast<size_t>(std::min<uint64_t>(capacity - filled, segment.Size() - offset_));
    size_t got = 0;
    if (segment.file) {
      got = wanted == 0 ? 0 : segment.file->Read(buffer + filled, wanted);
      if (got == 0 && wanted > 0) {
        throw Exception(u"The file being sent became shorter while it was sent");
      }
    } else {
      std::memcpy(buffer + filled, segment.bytes.data() + offset_, wanted);
      got = wanted;
    }
    filled += got;
    offset_ += got;
    if (offset_ == segment.Size()) {
      ++current_;
      offset_ = 0;
    }
  }
  return filled;
}

bool TMultipartForm::Rewind() {
  for (Segment& segment : segments_) {
    if (segment.file) segment.file->Rewind();
  }
  current_ = 0;
  offset_ = 0;
  return true;
}

std::u16string BareFileName(std::u16string_view path) {
  const size_t last = path.find_last_of(u"\\/:");
  return std::u16string(last == std::u16string_view::npos ? path : path.substr(last + 1));
}

std::string QuotedPrintable(std::string_view bytes) {
  constexpr size_t kLine = 76;
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  size_t column = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool last = i + 1 == bytes.size();
    const bool blank = byte == ' ' || byte == '\t';
    const bool literal = (byte >= 33 && byte <= 126 && byte != '=') || (blank && !last);
    std::string piece = literal ? std::string(1, static_cast<char>(byte))
                                : std::string{'=', kHex[byte >> 4], kHex[byte & 0x0F]};
    // Room for a soft break "=" unless this is the end of the text.
    if (column + piece.size() > kLine - (last ? 0 : 1)) {
      out += "=\r\n";
      column = 0;
    }
    out += piece;
    column += piece.size();
  }
  return out;
}

}  // namespace velto
