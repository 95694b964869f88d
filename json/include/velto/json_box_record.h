#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "velto/json_location.h"
#include "velto/json_value.h"
#include "velto/json_variant.h"
#include "velto/unicode.h"

namespace velto {

enum TJSONBoxKind {
  jbkUnknown,
  jbkNull,
  jbkObject,
  jbkArray,
  jbkString,
  jbkInteger,
  jbkFloat,
  jbkBoolean
};

enum TJSONBoxError { jbeNone, jbeTypeMismatch, jbePathNotFound, jbeIndexOutOfBounds };

// A handle on a place in a JSON document: the value it designates (Content), the container that
// holds it (Parent), and its member name (Path) or element index (Index). Copies share the same
// document. A box without Parent is a root box and owns its Content; every root box must be freed
// exactly once (Free), best by a JSONRootGuard. Boxes returned by reads and writes are views into
// the root's document and need no freeing.
class TJSONBox {
 public:
  JSONValue* Content = nullptr;
  JSONValue* Parent = nullptr;
  std::u16string Path;
  int32_t Index = -1;
  TJSONBoxError Error = jbeNone;

  // When true, an operation whose result box carries an error raises the matching exception.
  // Constant-initialised, so it is true before any code of the process runs.
  static inline bool Check = true;

  static TJSONBox Create() { return TJSONBox(); }
  static TJSONBox Create(const Variant& value);

  // Makes the new value first (none for a null Variant); a failure leaves the box as it was. A root
  // box then destroys its old Content; the box becomes a root box on the new value.
  TJSONBox Fill(const Variant& value);
  // A root box destroys its Content; every box then becomes empty.
  void Free() noexcept;
  bool Empty() const { return Content == nullptr; }

  TJSONBoxKind GetKind() const;
  TJSONBoxKind Kind() const { return GetKind(); }
  // The element count of an array; anything else raises ETypeMismatch whatever Check says.
  int32_t GetCount() const;
  int32_t Count() const { return GetCount(); }

  TJSONBox Get(const TJSONLocation& location) const;
  TJSONBox operator[](const TJSONLocation& location) const { return Get(location); }
  bool Exists(const TJSONLocation& location) const;

  // Reads that never raise for a missing member, a bad index or a wrong container.
  std::u16string Get(const TJSONLocation& location, std::u16string_view fallback) const;
  std::u16string Get(const TJSONLocation& location, const char16_t* fallback) const {
    return Get(location, std::u16string_view(fallback));
  }
  // Narrow text is UTF-8, as a Variant takes it.
  std::u16string Get(const TJSONLocation& location, const char* fallback) const {
    return Get(location, std::u16string_view(Utf8ToUtf16(fallback)));
  }
  int64_t Get(const TJSONLocation& location, int64_t fallback) const;
  template <VariantInteger T>
  requires(!std::same_as<T, int64_t>) int64_t Get(const TJSONLocation& location, T fallback)
  const { return Get(location, static_cast<int64_t>(fallback)); }
  double Get(const TJSONLocation& location, double fallback) const;
  bool Get(const TJSONLocation& location, bool fallback) const;
  // Any other pointer would silently become a Boolean default.
  template <class T>
  bool Get(const TJSONLocation& location, T* fallback) const = delete;

  // The value's own text: a string's characters, a number's text form, true, false, null, or
  // empty for containers. A box without Content raises ETypeMismatch.
  std::u16string GetString() const;

  // Conversions, falling back on TJSONDefault when Content does not fit.
  explicit operator JSONValue*() const { return Content; }
  explicit operator std::u16string() const { return AsString(); }
  explicit operator int32_t() const;
  explicit operator int64_t() const { return AsInteger(); }
  explicit operator float() const { return static_cast<float>(AsFloat()); }
  explicit operator double() const { return AsFloat(); }
  explicit operator bool() const { return AsBoolean(); }
  explicit operator Variant() const { return AsVariant(); }
  std::u16string AsString() const;
  int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  Variant AsVariant() const;

  TJSONBox Put(std::u16string_view path, const Variant& value) const;
  TJSONBox Put(int32_t index, const Variant& value) const;
  TJSONBox Push(const Variant& value) const;
  TJSONBox Push(std::span<const Variant> values) const;
  TJSONBox Push(std::initializer_list<Variant> values) const {
    return Push(std::span<const Variant>(values.begin(), values.size()));
  }
  void Delete(std::u16string_view path) const;
  // Does nothing when Content is no array or the index is outside it.
  void Delete(int32_t index) const;

  // Writes into the place this box names (it came from Get, Put or Push): creates or replaces the
  // member, or replaces the element. A box without Parent raises ETypeMismatch.
  TJSONBox operator<=(const Variant& right) const;
  // The same with a deep copy of right's Content, without the error check.
  TJSONBox operator<=(const TJSONBox& right) const;

  // Indented text of Content, or empty text for a box without Content.
  std::u16string Stringify() const;
};

// Frees a root box when the scope ends, on every path, whatever the box holds by then:
//   TJSONBox reply = TJSONBox::Create(JSONObject(text));
//   JSONRootGuard guard(reply);
class JSONRootGuard {
 public:
  explicit JSONRootGuard(TJSONBox& root) noexcept : root_(&root) {}
  JSONRootGuard(JSONRootGuard&& other) noexcept : root_(std::exchange(other.root_, nullptr)) {}
  JSONRootGuard(const JSONRootGuard&) = delete;
  JSONRootGuard& operator=(const JSONRootGuard&) = delete;
  JSONRootGuard& operator=(JSONRootGuard&&) = delete;
  ~JSONRootGuard() {
    if (root_) root_->Free();
  }

 private:
  TJSONBox* root_;
};

}  // namespace velto
