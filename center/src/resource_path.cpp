#include "velto/resource_path.h"

#include "velto/url_encode.h"

namespace velto {
namespace {

// `before` is the path made so far; its encoded values hold no "?" of their own.
std::u16string EncodedValue(std::u16string_view before, std::u16string_view value) {
  if (before.ends_with(u"?name=") || before.ends_with(u"&name=")) return URLEncode(value);
  const bool in_query = before.find(u'?') != std::u16string_view::npos;
  // Spelled out, so that no client or server takes them for "this" and "up one" segments.
  if (!in_query && value == u".") return u"%2E";
  if (!in_query && value == u"..") return u"%2E%2E";
  return PercentEncode(value);
}

}  // namespace

std::u16string ResourcePath(std::u16string_view format,
                            std::initializer_list<std::u16string_view> values) {
  constexpr std::u16string_view kSlot = u"%s";
  std::u16string path;
  for (const std::u16string_view value : values) {
    const size_t slot = format.find(kSlot);
    if (slot == std::u16string_view::npos) break;
    path.append(format.substr(0, slot));
    path.append(EncodedValue(path, value));
    format.remove_prefix(slot + kSlot.size());
  }
  return path.append(format);
}

std::u16string NameQuery(std::u16string_view name) {
  return u"?name=" + URLEncode(name);
}

}  // namespace velto
