#include "velto/json_value.h"

#include <algorithm>
#include <utility>

#include "json_node_arena.h"

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
      payload_ = JSONText();
      break;
    case JSONType::Array:
      payload_ = Elements_();
      break;
    case JSONType::Object:
      payload_ = Members_();
      break;
  }
}

// Containers among the children are torn down from an explicit list, so a deep document never
// recurses here: each container taken from the list has already given its own containers to the
// list, and the scalars go with their container.
JSONValue::~JSONValue() {
  if (!IsContainer()) return;
  std::vector<JSONValuePtr> pending;
  TakeContainers(pending);
  while (!pending.empty()) {
    JSONValuePtr container = std::move(pending.back());
    pending.pop_back();
    container->TakeContainers(pending);
  }
}

void JSONValue::TakeContainers(std::vector<JSONValuePtr>& out) {
  const auto take = [&out](JSONValuePtr& child) {
    if (child && child->IsContainer()) out.push_back(std::move(child));
  };
  if (auto* members = std::get_if<Members_>(&payload_)) {
    for (JSONMember& member : *members) take(member.Value);
  } else if (auto* elements = std::get_if<Elements_>(&payload_)) {
    for (JSONValuePtr& element : *elements) take(element);
  }
}

static_assert(alignof(JSONValue) <= 8 && alignof(JSONMember) <= 8);

void* JSONValue::operator new(std::size_t size) {
  return AllocateBlock(size);
}

void JSONValue::operator delete(void* value) noexcept {
  FreeBlock(value);
}

JSONValuePtr JSONValue::Null() {
  return std::make_unique<JSONValue>(JSONType::Null);
}

JSONValuePtr JSONValue::Boolean(bool value) {
  auto made = std::make_unique<JSONValue>(JSONType::Boolean);
  made->payload_ = value;
  return made;
}

JSONValuePtr JSONValue::Number(JSONText characters) {
  auto made = std::make_unique<JSONValue>(JSONType::Number);
  made->payload_ = std::move(characters);
  return made;
}

JSONValuePtr JSONValue::String(JSONText text) {
  auto made = std::make_unique<JSONValue>(JSONType::String);
  made->payload_ = std::move(text);
  return made;
}

JSONValuePtr JSONValue::Number(std::u16string_view characters) {
  return Number(JSONText(characters));
}

JSONValuePtr JSONValue::String(std::u16string_view text) {
  return String(JSONText(text));
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
    AppendMember(JSONText(name), std::move(value));
  }
}

void JSONValue::AppendMember(JSONText name, JSONValuePtr value) {
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

}  // namespace

// Breadth by container from an explicit list of (source, copy) pairs: no recursion.
JSONValuePtr JSONValue::Clone() const {
  const NodeArenaScope arena;
  JSONValuePtr root = ShallowCopy(*this);
  std::vector<std::pair<const JSONValue*, JSONValue*>> pending;
  if (IsContainer()) pending.emplace_back(this, root.get());
  while (!pending.empty()) {
    const auto [source, copy] = pending.back();
    pending.pop_back();
    const auto firstChild = static_cast<std::ptrdiff_t>(pending.size());
    if (source->IsObject()) {
      for (const JSONMember& member : source->Members()) {
        JSONValuePtr child = ShallowCopy(*member.Value);
        if (child->IsContainer()) pending.emplace_back(member.Value.get(), child.get());
        copy->AppendMember(JSONText(member.Name.View()), std::move(child));
      }
    } else {
      for (const JSONValuePtr& element : source->Elements()) {
        JSONValuePtr child = ShallowCopy(*element);
        if (child->IsContainer()) pending.emplace_back(element.get(), child.get());
        copy->Elements().push_back(std::move(child));
      }
    }
    // First child on top: the source is read, and the copy laid out, in document order.
    std::reverse(pending.begin() + firstChild, pending.end());
  }
  return root;
}

}  // namespace velto
