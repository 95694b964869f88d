#pragma once

#include <string>
#include <string_view>

namespace velto {

// A card number as it may be shown: it is a credential, so all but its last four
// characters are written as "*".
inline std::u16string MaskedCardNumber(std::u16string_view number) {
  constexpr size_t kShown = 4;
  const size_t hidden = number.size() > kShown ? number.size() - kShown : 0;
  return std::u16string(hidden, u'*') + std::u16string(number.substr(hidden));
}

}  // namespace velto
