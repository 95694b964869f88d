#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "velto/json_box_record.h"
#include "velto/json_path.h"
#include "velto/json_value.h"
#include "velto/json_variant.h"
#include "velto/unicode.h"

namespace velto {

// The operations behind the box, on document values directly. None (nullptr) is accepted where an
// object or array is expected. Boxes come back without the error check; only making a value from
// an unsupported Variant kind raises.

class TJSONValueHelper {
 public:
  // The value itself when it is of kind T, else nullptr. A number also passes as a string.
  template <JSONType T>
  static JSONValue* Check(JSONValue* value) {
    if (value == nullptr) return nullptr;
    if (value->Type() == T) return value;
    if (T == JSONType::String && value->IsNumber()) return value;
    return nullptr;
  }
  // Every value the library or the parser makes is owned by the container that holds it.
  static bool Dependent(const JSONValue* value) { return value != nullptr; }
};

class TJSONObjectHelper {
 public:
  static JSONMember* GetPair(JSONValue* object, std::u16string_view name);
  static void PutValue(JSONValue* object, std::u16string_view name, JSONValuePtr value);
  static JSONValue* GetParent(JSONValue* object, const TJSONPath& path);
  static JSONValue* GetValue(JSONValue* object, const TJSONPath& path);

  static TJSONBox Put(JSONValue* object, std::u16string_view path, const Variant& value);
  static TJSONBox Get(JSONValue* object, std::u16string_view path);
  static void Delete(JSONValue* object, std::u16string_view path);
  static bool Exists(JSONValue* object, std::u16string_view path);

  static std::u16string Get(JSONValue* object, std::u16string_view path,
                            std::u16string_view fallback);
  static std::u16string Get(JSONValue* object, std::u16string_view path, const char16_t* fallback) {
    return Get(object, path, std::u16string_view(fallback));
  }
  // Narrow text is UTF-8, as a Variant takes it.
  static std::u16string Get(JSONValue* object, std::u16string_view path, const char* fallback) {
    return Get(object, path, std::u16string_view(Utf8ToUtf16(fallback)));
  }
  static int64_t Get(JSONValue* object, std::u16string_view path, int64_t fallback);
  template <VariantInteger T>
  requires(!std::same_as<T, int64_t>) static int64_t
      Get(JSONValue* object, std::u16string_view path, T fallback) {
    return Get(object, path, static_cast<int64_t>(fallback));
  }
  static double Get(JSONValue* object, std::u16string_view path, double fallback);
  static bool Get(JSONValue* object, std::u16string_view path, bool fallback);
  // Any other pointer would silently become a Boolean default.
  template <class T>
  static bool Get(JSONValue* object, std::u16string_view path, T* fallback) = delete;
};

class TJSONArrayHelper {
 public:
  static void PushValue(JSONValue* array, JSONValuePtr value);
  static bool Check(const JSONValue* array, int32_t index);
  // Replaces the element at a valid index; the old element is destroyed.
  static void PutValue(JSONValue* array, int32_t index, JSONValuePtr value);

  static TJSONBox Push(JSONValue* array, const Variant& value);
  static TJSONBox Put(JSONValue* array, int32_t index, const Variant& value);
  static TJSONBox Get(JSONValue* array, int32_t index);
  static void Delete(JSONValue* array, int32_t index);
  static bool Exists(const JSONValue* array, int32_t index) { return Check(array, index); }

  static std::u16string Get(JSONValue* array, int32_t index, std::u16string_view fallback);
  static std::u16string Get(JSONValue* array, int32_t index, const char16_t* fallback) {
    return Get(array, index, std::u16string_view(fallback));
  }
  // Narrow text is UTF-8, as a Variant takes it.
  static std::u16string Get(JSONValue* array, int32_t index, const char* fallback) {
    return Get(array, index, std::u16string_view(Utf8ToUtf16(fallback)));
  }
  static int64_t Get(JSONValue* array, int32_t index, int64_t fallback);
  template <VariantInteger T>
  requires(!std::same_as<T, int64_t>) static int64_t
      Get(JSONValue* array, int32_t index, T fallback) {
    return Get(array, index, static_cast<int64_t>(fallback));
  }
  // Only a number whose text form has a decimal point counts: an integer element gives fallback.
  static double Get(JSONValue* array, int32_t index, double fallback);
  static bool Get(JSONValue* array, int32_t index, bool fallback);
  // Any other pointer would silently become a Boolean default.
  template <class T>
  static bool Get(JSONValue* array, int32_t index, T* fallback) = delete;
};

}  // namespace velto
