#include <algorithm>
#include <utility>

#include "velto/multipart_form.h"
#include "velto/unicode.h"

namespace velto {
namespace {

constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
    {"bmp", "image/bmp"},
    {"css", "text/css"},
    {"csv", "text/csv"},
    {"doc", "application/msword"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {"gif", "image/gif"},
    {"gz", "application/x-gzip"},
    {"htm", "text/html"},
    {"html", "text/html"},
    {"hwp", "application/x-hwp"},
    {"jpe", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"jpg", "image/jpeg"},
    {"js", "application/x-javascript"},
    {"json", "application/json"},
    {"mp3", "audio/mpeg"},
    {"mp4", "video/mp4"},
    {"pdf", "application/pdf"},
    {"png", "image/png"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
    {"rtf", "application/rtf"},
    {"svg", "image/svg+xml"},
    {"tif", "image/tiff"},
    {"tiff", "image/tiff"},
    {"txt", "text/plain"},
    {"wav", "audio/x-wav"},
    {"xls", "application/vnd.ms-excel"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"xml", "text/xml"},
    {"zip", "application/x-zip-compressed"},
};

}  // namespace

std::string MediaTypeOf(std::u16string_view file_name) {
  const size_t dot = file_name.rfind(u'.');
  if (dot == std::u16string_view::npos) return "application/octet-stream";
  std::string extension = Utf16ToUtf8(file_name.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  for (const auto& [known, type] : kTypes) {
    if (known == extension) return std::string(type);
  }
  return "application/octet-stream";
}

}  // namespace velto
