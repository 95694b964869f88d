#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

#include "velto/json_variant.h"

namespace velto {

enum TJSONLocationKind { jlkUnknown, jlkPath, jlkIndex };

// A member path (dotted) or an array index. Text makes a path; a signed 8/16/32-bit or unsigned
// 8/16/32-bit integer makes an index; anything else, 64-bit integers included, raises
// EArgumentInvalid. So Box[u"a.b"] and Box[0] read, while Box[int64_t{0}] (and Box[size_t{0}] on
// 64-bit Linux) is refused.
struct TJSONLocation {
  TJSONLocationKind Kind = jlkUnknown;
  std::u16string Path;
  int32_t Index = -1;

  TJSONLocation() = default;
  TJSONLocation(const Variant& value);  // NOLINT: implicit by design
  template <class T>
  requires(std::constructible_from<Variant, T> && !std::same_as<std::remove_cvref_t<T>, Variant> &&
           !std::same_as<std::remove_cvref_t<T>, TJSONLocation>)
      TJSONLocation(T&& value)  // NOLINT: implicit by design
      : TJSONLocation(Variant(std::forward<T>(value))) {}

  static TJSONLocation Create(const Variant& value) { return TJSONLocation(value); }
};

}  // namespace velto
