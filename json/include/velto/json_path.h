#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// A dotted path cut into items at every "."; empty items are dropped and there is no escaping, so
// "a..b" and ".a.b." both give a, b.
class TJSONPath {
 public:
  explicit TJSONPath(std::u16string_view value);

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  // Raises EArgumentOutOfRange outside 0..Count-1.
  const std::u16string& Items(int32_t index) const;
  // Items 0..Count-2 joined with "."; empty below two items.
  std::u16string Parent() const;
  // The last item; empty without items.
  std::u16string Last() const;

 private:
  std::vector<std::u16string> FItems;
};

}  // namespace velto
