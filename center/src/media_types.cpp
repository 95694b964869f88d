#include "velto/media_types.h"

#include <algorithm>
#include <utility>

#include "velto/ascii_case.h"
#include "velto/system_media_types.h"
#include "velto/unicode.h"

namespace velto {
namespace {

constexpr std::string_view kUnknown = "application/octet-stream";

// Used where the system's table has no entry.
constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
    // images
    {"bmp", "image/bmp"},
    {"gif", "image/gif"},
    {"heic", "image/heic"},
    {"ico", "image/x-icon"},
    {"jpe", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"jpg", "image/jpeg"},
    {"png", "image/png"},
    {"svg", "image/svg+xml"},
    {"tif", "image/tiff"},
    {"tiff", "image/tiff"},
    {"webp", "image/webp"},
    // documents
    {"pdf", "application/pdf"},
    {"doc", "application/msword"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {"xls", "application/vnd.ms-excel"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
    {"hwp", "application/x-hwp"},
    {"hwpx", "application/x-hwpx"},
    {"odt", "application/vnd.oasis.opendocument.text"},
    {"ods", "application/vnd.oasis.opendocument.spreadsheet"},
    {"odp", "application/vnd.oasis.opendocument.presentation"},
    {"rtf", "application/rtf"},
    // text and markup
    {"txt", "text/plain"},
    {"csv", "text/csv"},
    {"css", "text/css"},
    {"htm", "text/html"},
    {"html", "text/html"},
    {"xml", "text/xml"},
    {"json", "application/json"},
    {"js", "text/javascript"},
    // archives
    {"zip", "application/zip"},
    {"gz", "application/gzip"},
    {"tar", "application/x-tar"},
    {"7z", "application/x-7z-compressed"},
    {"rar", "application/vnd.rar"},
    // audio
    {"mp3", "audio/mpeg"},
    {"wav", "audio/wav"},
    {"m4a", "audio/mp4"},
    {"ogg", "audio/ogg"},
    {"flac", "audio/flac"},
    {"wma", "audio/x-ms-wma"},
    // video
    {"mp4", "video/mp4"},
    {"avi", "video/x-msvideo"},
    {"mov", "video/quicktime"},
    {"mkv", "video/x-matroska"},
    {"webm", "video/webm"},
    {"wmv", "video/x-ms-wmv"},
};

// A character of an HTTP token (RFC 9110).
bool IsTokenCharacter(char c) {
  const bool alphanumeric =
      (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return alphanumeric || std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// The type goes into a part's header: it must not break the framing.
bool IsMediaType(std::string_view type) {
  const size_t slash = type.find('/');
  return slash != 0 && slash != std::string_view::npos && slash + 1 < type.size() &&
         std::all_of(type.begin(), type.begin() + slash, IsTokenCharacter) &&
         std::all_of(type.begin() + slash + 1, type.end(), IsTokenCharacter);
}

}  // namespace

std::string MediaTypeOf(std::u16string_view file_name) {
  return MediaTypeOf(file_name, SystemMediaType);
}

std::string MediaTypeOf(std::u16string_view file_name, const MediaTypeLookup& system_types) {
  const size_t dot = file_name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot + 1 == file_name.size()) {
    return std::string(kUnknown);
  }
  const std::string extension = AsciiLowerCase(Utf16ToUtf8(file_name.substr(dot + 1)));
  if (std::string type = system_types(extension); IsMediaType(type)) return type;
  for (const auto& [known, type] : kTypes) {
    if (known == extension) return std::string(type);
  }
  return std::string(kUnknown);
}

}  // namespace velto
