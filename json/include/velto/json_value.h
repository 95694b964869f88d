#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velto {

// The document model beneath the JSON box. A container owns its members and elements; values are
// made, destroyed and copied without recursion, so documents of any depth are safe on small stacks.

enum class JSONType : uint8_t { Null, Boolean, Number, String, Array, Object };

class JSONValue;
using JSONValuePtr = std::unique_ptr<JSONValue>;

struct JSONMember {
  std::u16string Name;
  JSONValuePtr Value;
};

class JSONValue {
 public:
  static JSONValuePtr Null();
  static JSONValuePtr Boolean(bool value);
  // `characters` are the number's exact characters, written out unchanged.
  static JSONValuePtr Number(std::u16string characters);
  static JSONValuePtr String(std::u16string text);
  static JSONValuePtr Object();
  static JSONValuePtr Array();

  explicit JSONValue(JSONType type);
  ~JSONValue();
  JSONValue(const JSONValue&) = delete;
  JSONValue& operator=(const JSONValue&) = delete;

  JSONType Type() const { return type_; }
  bool IsNull() const { return type_ == JSONType::Null; }
  bool IsBoolean() const { return type_ == JSONType::Boolean; }
  bool IsNumber() const { return type_ == JSONType::Number; }
  bool IsString() const { return type_ == JSONType::String; }
  bool IsArray() const { return type_ == JSONType::Array; }
  bool IsObject() const { return type_ == JSONType::Object; }

  bool BooleanValue() const { return std::get<bool>(payload_); }
  // The characters of a string, or the exact characters of a number.
  const std::u16string& Text() const { return std::get<std::u16string>(payload_); }

  // Object members in order; several may share a name.
  std::vector<JSONMember>& Members() { return std::get<Members_>(payload_); }
  const std::vector<JSONMember>& Members() const { return std::get<Members_>(payload_); }
  // The first member of that name, or nullptr.
  JSONMember* FindMember(std::u16string_view name);
  // Replaces the value of the first member of that name in place, or appends a member. An empty
  // name or a missing value adds nothing.
  void PutMember(std::u16string_view name, JSONValuePtr value);
  // Appends unconditionally; parsed text may hold empty and repeated names.
  void AppendMember(std::u16string name, JSONValuePtr value);

  std::vector<JSONValuePtr>& Elements() { return std::get<Elements_>(payload_); }
  const std::vector<JSONValuePtr>& Elements() const { return std::get<Elements_>(payload_); }

  // A deep copy that belongs to nobody until it is put somewhere.
  JSONValuePtr Clone() const;

 private:
  using Members_ = std::vector<JSONMember>;
  using Elements_ = std::vector<JSONValuePtr>;

  // Moves the children into `out`, leaving this container empty.
  void TakeChildren(std::vector<JSONValuePtr>& out);

  JSONType type_;
  std::variant<std::monostate, bool, std::u16string, Members_, Elements_> payload_;
};

}  // namespace velto
