#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace velto {

// The base of every reference-counted handle a Variant can carry. "Offers interface X" means that
// a dynamic_pointer_cast to X succeeds.
class IInterface {
 public:
  virtual ~IInterface() = default;
};

// The kinds a Variant can hold. Values enter JSON documents only from the integer, float,
// currency, string, boolean and interface kinds; every other kind is carried but refused there.
enum class VariantKind : uint8_t {
  Empty,
  Null,
  Int8,
  Int16,
  Int32,
  Int64,
  UInt8,
  UInt16,
  UInt32,
  UInt64,
  Single,
  Double,
  Currency,
  Date,
  WideString,
  NarrowString,
  UnicodeString,
  Boolean,
  Interface,
  Error,
  Dispatch,
  NestedVariant,
  Array,
};

template <class T>
concept VariantInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                         !std::same_as<T, wchar_t> && !std::same_as<T, char8_t> &&
                         !std::same_as<T, char16_t> && !std::same_as<T, char32_t>;

// The tagged value through which callers hand values to the JSON box. The C++ types convert
// implicitly to the kind they stand for: int8..int64 and uint8..uint64 by size and sign (so size_t
// is UInt64 on 64-bit Linux and UInt32 on 32-bit Windows), float, double, bool, UTF-16 text
// (UnicodeString), narrow UTF-8 text (NarrowString) and shared handles (Interface).
class Variant {
 public:
  Variant() = default;  // Empty
  template <VariantInteger T>
  Variant(T value) : kind_(IntegerKind<T>()) {  // NOLINT: implicit by design
    if constexpr (std::is_unsigned_v<T> && sizeof(T) == 8) {
      value_ = static_cast<uint64_t>(value);
    } else {
      value_ = static_cast<int64_t>(value);
    }
  }
  Variant(float value) : kind_(VariantKind::Single), value_(double{value}) {}
  Variant(double value) : kind_(VariantKind::Double), value_(value) {}
  Variant(bool value) : kind_(VariantKind::Boolean), value_(value) {}
  Variant(const char16_t* text) : Variant(std::u16string(text)) {}
  Variant(std::u16string_view text) : Variant(std::u16string(text)) {}
  Variant(std::u16string text) : kind_(VariantKind::UnicodeString), value_(std::move(text)) {}
  Variant(const char* utf8) : Variant(std::string(utf8)) {}
  Variant(std::string utf8) : kind_(VariantKind::NarrowString), value_(std::move(utf8)) {}
  template <class T>
  requires std::derived_from<T, IInterface> Variant(std::shared_ptr<T> handle)
      : kind_(VariantKind::Interface), value_(std::shared_ptr<IInterface>(std::move(handle))) {}
  // Pointers other than text would silently become booleans.
  Variant(const void*) = delete;

  static Variant Null();
  static Variant Currency(double value);  // kept to four decimals
  static Variant Date(double days);       // days since 1899-12-30, as the host counts them
  static Variant WideString(std::u16string text);
  // A kind without a payload: Empty, Null, Error, Dispatch, NestedVariant or Array.
  static Variant OfKind(VariantKind kind);

  VariantKind Kind() const { return kind_; }
  bool IsNull() const { return kind_ == VariantKind::Null; }
  bool IsInteger() const;  // any signed or unsigned integer kind
  bool IsFloat() const;    // Single, Double or Currency
  bool IsString() const;   // any string kind

  int64_t Int64Value() const { return std::get<int64_t>(value_); }
  uint64_t UInt64Value() const { return std::get<uint64_t>(value_); }
  double DoubleValue() const { return std::get<double>(value_); }  // floats, currency, date
  bool BooleanValue() const { return std::get<bool>(value_); }
  std::u16string Text() const;  // any string kind, as UTF-16
  const std::shared_ptr<IInterface>& Interface() const {
    return std::get<std::shared_ptr<IInterface>>(value_);
  }

  // Loose conversions for defaults; a kind without such a form raises ETypeMismatch.
  std::u16string ToText() const;
  int64_t ToInt64() const;
  double ToDouble() const;
  bool ToBoolean() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  template <class T>
  static constexpr VariantKind IntegerKind() {
    if constexpr (std::is_signed_v<T>) {
      if constexpr (sizeof(T) == 1) return VariantKind::Int8;
      if constexpr (sizeof(T) == 2) return VariantKind::Int16;
      if constexpr (sizeof(T) == 4) return VariantKind::Int32;
      if constexpr (sizeof(T) == 8) return VariantKind::Int64;
    } else {
      if constexpr (sizeof(T) == 1) return VariantKind::UInt8;
      if constexpr (sizeof(T) == 2) return VariantKind::UInt16;
      if constexpr (sizeof(T) == 4) return VariantKind::UInt32;
      if constexpr (sizeof(T) == 8) return VariantKind::UInt64;
    }
  }

  VariantKind kind_ = VariantKind::Empty;
  std::variant<std::monostate, int64_t, uint64_t, double, bool, std::u16string, std::string,
               std::shared_ptr<IInterface>>
      value_;
};

}  // namespace velto
