#include "velto/resource_path.h"

#include "velto/url_encode.h"

namespace velto {
namespace {

// A segment of dots alone would be taken for "this folder" or "the folder above" and
// removed by the client or the server; encoded, it stays an id.
std::u16string Segment(std::u16string_view value) {
  if (value == u".") return u"%2E";
  if (value == u"..") return u"%2E%2E";
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
    path.append(format.substr(0, slot)).append(Segment(value));
    format.remove_prefix(slot + kSlot.size());
  }
  return path.append(format);
}

std::u16string NameQuery(std::u16string_view name) {
  return u"?name=" + URLEncode(name);
}

}  // namespace velto
