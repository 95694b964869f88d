#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "velto/json_list.h"
#include "velto/json_text.h"

namespace velto {

// The document model beneath the JSON box. A container owns its members and elements; values are
// made, destroyed and copied without recursion, so documents of any depth are safe on small stacks.
// A parsed or copied document keeps its values, texts and lists in a few shared chunks; each part
// still has its own lifetime and may move to another document.

enum class JSONType : uint8_t { Null, Boolean, Number, String, Array, Object };

class JSONValue;
using JSONValuePtr = std::unique_ptr<JSONValue>;

struct JSONMember {
  JSONText Name;
  JSONValuePtr Value;
};

class JSONValue {
 public:
  static JSONValuePtr Null();
  static JSONValuePtr Boolean(bool value);
  // `characters` are the number's exact characters, written out unchanged.
  static JSONValuePtr Number(std::u16string_view characters);
  static JSONValuePtr String(std::u16string_view text);
  static JSONValuePtr Object();
  static JSONValuePtr Array();

  // An empty value of that type: no characters, no members, no elements.
  explicit JSONValue(JSONType type) noexcept;
  ~JSONValue();
  // Values are cut from shared chunks while a document is parsed or copied.
  static void* operator new(std::size_t size);
  static void operator delete(void* value) noexcept;
  JSONValue(const JSONValue&) = delete;
  JSONValue& operator=(const JSONValue&) = delete;

  JSONType Type() const { return type_; }
  bool IsNull() const { return type_ == JSONType::Null; }
  bool IsBoolean() const { return type_ == JSONType::Boolean; }
  bool IsNumber() const { return type_ == JSONType::Number; }
  bool IsString() const { return type_ == JSONType::String; }
  bool IsArray() const { return type_ == JSONType::Array; }
  bool IsObject() const { return type_ == JSONType::Object; }
  bool IsContainer() const { return IsArray() || IsObject(); }
  bool HasText() const { return IsNumber() || IsString(); }

  // Each accessor raises std::bad_variant_access for a value of another type.
  bool BooleanValue() const {
    Expect(IsBoolean());
    return boolean_;
  }
  // The characters of a string, or the exact characters of a number.
  std::u16string_view Text() const {
    Expect(HasText());
    return {Characters(), length_};
  }

  // Object members in order; several may share a name.
  JSONList<JSONMember>& Members() {
    Expect(IsObject());
    return members_;
  }
  const JSONList<JSONMember>& Members() const {
    Expect(IsObject());
    return members_;
  }
  // The first member of that name, or nullptr.
  JSONMember* FindMember(std::u16string_view name);
  // Replaces the value of the first member of that name in place, or appends a member. An empty
  // name or a missing value adds nothing.
  void PutMember(std::u16string_view name, JSONValuePtr value);
  // Appends unconditionally; parsed text may hold empty and repeated names.
  void AppendMember(JSONText name, JSONValuePtr value);

  JSONList<JSONValuePtr>& Elements() {
    Expect(IsArray());
    return elements_;
  }
  const JSONList<JSONValuePtr>& Elements() const {
    Expect(IsArray());
    return elements_;
  }

  // A deep copy that belongs to nobody until it is put somewhere.
  JSONValuePtr Clone() const;

 private:
  using Members_ = JSONList<JSONMember>;
  using Elements_ = JSONList<JSONValuePtr>;

  // A number or string whose characters follow the value in its own block.
  static JSONValuePtr WithText(JSONType type, std::u16string_view text);
  const char16_t* Characters() const { return reinterpret_cast<const char16_t*>(this + 1); }
  static void Expect(bool rightType) {
    if (!rightType) [[unlikely]]
      ThrowWrongType();
  }
  [[noreturn]] static void ThrowWrongType();
  // Destroys the scalar children and moves the containers into `out`, the first child last.
  void TakeChildren(std::vector<JSONValuePtr>& out);

  JSONType type_;
  bool boolean_ = false;
  union {
    std::size_t length_;  // a number's or string's
    Members_ members_;
    Elements_ elements_;
  };
};

}  // namespace velto
