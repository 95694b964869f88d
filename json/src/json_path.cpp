#include "velto/json_path.h"

#include "velto/json_exceptions.h"

namespace velto {

TJSONPath::TJSONPath(std::u16string_view value) {
  std::u16string item;
  for (const char16_t unit : value) {
    if (unit != u'.') {
      item.push_back(unit);
    } else if (!item.empty()) {
      FItems.push_back(std::move(item));
      item.clear();
    }
  }
  if (!item.empty()) FItems.push_back(std::move(item));
}

const std::u16string& TJSONPath::Items(int32_t index) const {
  if (index < 0 || index >= Count()) throw EArgumentOutOfRange();
  return FItems[static_cast<size_t>(index)];
}

std::u16string TJSONPath::Parent() const {
  std::u16string joined;
  for (int32_t i = 0; i + 1 < Count(); ++i) {
    if (i > 0) joined.push_back(u'.');
    joined += FItems[static_cast<size_t>(i)];
  }
  return joined;
}

std::u16string TJSONPath::Last() const {
  return FItems.empty() ? u"" : FItems.back();
}

}  // namespace velto
