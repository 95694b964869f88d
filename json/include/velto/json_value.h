#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
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
  static JSONValuePtr Number(JSONText characters);
  static JSONValuePtr String(JSONText text);
  static JSONValuePtr Object();
  static JSONValuePtr Array();

  explicit JSONValue(JSONType type);
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

  bool BooleanValue() const { return std::get<bool>(payload_); }
  // The characters of a string, or the exact characters of a number.
  std::u16string_view Text() const { return std::get<JSONText>(payload_).View(); }

  // Object members in order; several may share a name.
  JSONList<JSONMember>& Members() { return std::get<Members_>(payload_); }
  const JSONList<JSONMember>& Members() const { return std::get<Members_>(payload_); }
  // The first member of that name, or nullptr.
  JSONMember* FindMember(std::u16string_view name);
  // Replaces the value of the first member of that name in place, or appends a member. An empty
  // name or a missing value adds nothing.
  void PutMember(std::u16string_view name, JSONValuePtr value);
  // Appends unconditionally; parsed text may hold empty and repeated names.
  void AppendMember(JSONText name, JSONValuePtr value);

  JSONList<JSONValuePtr>& Elements() { return std::get<Elements_>(payload_); }
  const JSONList<JSONValuePtr>& Elements() const { return std::get<Elements_>(payload_); }

  // A deep copy that belongs to nobody until it is put somewhere.
  JSONValuePtr Clone() const;

 private:
  using Members_ = JSONList<JSONMember>;
  using Elements_ = JSONList<JSONValuePtr>;

  // Moves the children that are containers into `out`.
  void TakeContainers(std::vector<JSONValuePtr>& out);

  JSONType type_;
  std::variant<std::monostate, bool, JSONText, Members_, Elements_> payload_;
};

}  // namespace velto
