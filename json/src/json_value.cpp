#include "velto/json_value.h"

#include <utility>

namespace velto {

JSONValue::JSONValue(JSONType type) : type_(type) {
  switch (type) {
    case JSONType::Null:
      break;
    case JSONType::Boolean:
      payload_ = false;
      break;
    case JSONType::Number:
    case JSONType::String:
      payload_ = std::u16string();
      break;
    case JSONType::Array:
      payload_ = Elements_();
      break;
    case JSONType::Object:
      payload_ = Members_();
      break;
  }
}

// Children are torn down from an explicit list, so a deep document never recurses here: each
// value taken from the list has already given its own children to the list.
JSONValue::~JSONValue() {
  std::vector<JSONValuePtr> pending;
  TakeChildren(pending);
  while (!pending.empty()) {
    JSONValuePtr value = std::move(pending.back());
    pending.pop_back();
    value->TakeChildren(pending);
  }
}

void JSONValue::TakeChildren(std::vector<JSONValuePtr>& out) {
  if (auto* members = std::get_if<Members_>(&payload_)) {
    for (JSONMember& member : *members) out.push_back(std::move(member.Value));
    members->clear();
  } else if (auto* elements = std::get_if<Elements_>(&payload_)) {
    for (JSONValuePtr& element : *elements) out.push_back(std::move(element));
    elements->clear();
  }
}

JSONValuePtr JSONValue::Null() {
  return std::make_unique<JSONValue>(JSONType::Null);
}

JSONValuePtr JSONValue::Boolean(bool value) {
  auto made = std::make_unique<JSONValue>(JSONType::Boolean);
  made->payload_ = value;
  return made;
}

JSONValuePtr JSONValue::Number(std::u16string characters) {
  auto made = std::make_unique<JSONValue>(JSONType::Number);
  made->payload_ = std::move(characters);
  return made;
}

JSONValuePtr JSONValue::String(std::u16string text) {
  auto made = std::make_unique<JSONValue>(JSONType::String);
  made->payload_ = std::move(text);
  return made;
}

JSONValuePtr JSONValue::Object() {
  return std::make_unique<JSONValue>(JSONType::Object);
}

JSONValuePtr JSONValue::Array() {
  return std::make_unique<JSONValue>(JSONType::Array);
}

JSONMember* JSONValue::FindMember(std::u16string_view name) {
  for (JSONMember& member : Members()) {
    if (member.Name == name) return &member;
  }
  return nullptr;
}

void JSONValue::PutMember(std::u16string_view name, JSONValuePtr value) {
  if (name.empty() || !value) return;
  if (JSONMember* member = FindMember(name)) {
    member->Value = std::move(value);
  } else {
    AppendMember(std::u16string(name), std::move(value));
  }
}

void JSONValue::AppendMember(std::u16string name, JSONValuePtr value) {
  Members().push_back(JSONMember{std::move(name), std::move(value)});
}

namespace {

// A copy of the value itself; containers come back empty, sized for their children.
JSONValuePtr ShallowCopy(const JSONValue& source) {
  switch (source.Type()) {
    case JSONType::Null:
      return JSONValue::Null();
    case JSONType::Boolean:
      return JSONValue::Boolean(source.BooleanValue());
    case JSONType::Number:
      return JSONValue::Number(source.Text());
    case JSONType::String:
      return JSONValue::String(source.Text());
    case JSONType::Array: {
      auto copy = JSONValue::Array();
      copy->Elements().reserve(source.Elements().size());
      return copy;
    }
    case JSONType::Object: {
      auto copy = JSONValue::Object();
      copy->Members().reserve(source.Members().size());
      return copy;
    }
  }
  return nullptr;
}

bool IsContainer(const JSONValue& value) {
  return value.IsArray() || value.IsObject();
}

}  // namespace

// Breadth by container from an explicit list of (source, copy) pairs: no recursion.
JSONValuePtr JSONValue::Clone() const {
  JSONValuePtr root = ShallowCopy(*this);
  std::vector<std::pair<const JSONValue*, JSONValue*>> pending;
  if (IsContainer(*this)) pending.emplace_back(this, root.get());
  while (!pending.empty()) {
    const auto [source, copy] = pending.back();
    pending.pop_back();
    if (source->IsObject()) {
      for (const JSONMember& member : source->Members()) {
        JSONValuePtr child = ShallowCopy(*member.Value);
        if (IsContainer(*child)) pending.emplace_back(member.Value.get(), child.get());
        copy->AppendMember(member.Name, std::move(child));
      }
    } else {
      for (const JSONValuePtr& element : source->Elements()) {
        JSONValuePtr child = ShallowCopy(*element);
        if (IsContainer(*child)) pending.emplace_back(element.get(), child.get());
        copy->Elements().push_back(std::move(child));
      }
    }
  }
  return root;
}

}  // namespace velto
