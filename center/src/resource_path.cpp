#include "velto/resource_path.h"

#include "velto/url_encode.h"

namespace velto {
namespace {

constexpr std::u16string_view kSegmentSlot = u"%s";
constexpr std::u16string_view kFormSlot = u"%q";

// `before` is the path made so far; its encoded values hold no "?" of their own.
std::u16string EncodedValue(std::u16string_view slot, std::u16string_view before,
                            std::u16string_view value) {
  if (slot == kFormSlot) return URLEncode(value);
  const bool in_query = before.find(u'?') != std::u16string_view::npos;
  // Spelled out, so that no client or server takes them for "this" and "up one" segments.
  if (!in_query && value == u".") return u"%2E";
  if (!in_query && value == u"..") return u"%2E%2E";
  return PercentEncode(value);
}

// Where the next "%s" or "%q" of `format` starts; npos when none is left.
size_t NextSlot(std::u16string_view format) {
  for (size_t at = format.find(u'%'); at != std::u16string_view::npos;
       at = format.find(u'%', at + 1)) {
    const std::u16string_view slot = format.substr(at, kSegmentSlot.size());
    if (slot == kSegmentSlot || slot == kFormSlot) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace

std::u16string ResourcePath(std::u16string_view format,
                            std::initializer_list<std::u16string_view> values) {
  std::u16string path;
  for (const std::u16string_view value : values) {
    const size_t slot = NextSlot(format);
    if (slot == std::u16string_view::npos) break;
    path.append(format.substr(0, slot));
    path.append(EncodedValue(format.substr(slot, kSegmentSlot.size()), path, value));
    format.remove_prefix(slot + kSegmentSlot.size());
  }
  return path.append(format);
}

}  // namespace velto
