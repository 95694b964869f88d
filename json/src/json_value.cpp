#include "velto/json_value.h"

#include <algorithm>
#include <new>
#include <utility>
#include <variant>

#include "json_copy_units.h"
#include "json_node_arena.h"

namespace velto {

static_assert(alignof(JSONValue) <= 8 && alignof(JSONMember) <= 8);

JSONValue::JSONValue(JSONType type) noexcept : type_(type) {
  if (IsObject()) {
    ::new (&members_) Members_();
  } else if (IsArray()) {
    ::new (&elements_) Elements_();
  } else {
    length_ = 0;
  }
}

namespace {

JSONValuePtr& ValueOf(JSONMember& member) {
  return member.Value;
}
JSONValuePtr& ValueOf(JSONValuePtr& element) {
  return element;
}

// Destroys the scalars of a list and moves its containers into `out`, the first child last. The
// children are spread over memory the size of the document, so each is asked for a few steps
// before it is read.
template <class List>
void ReleaseChildren(List& children, std::vector<JSONValuePtr>& out) {
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = children.size(); i-- > 0;) {
    if (i >= kAhead) __builtin_prefetch(ValueOf(children[i - kAhead]).get());
    JSONValuePtr& child = ValueOf(children[i]);
    if (!child) continue;
    if (child->IsContainer()) {
      out.push_back(std::move(child));
    } else {
      // A scalar owns nothing but its block, so its empty destructor is not called.
      FreeBlock(child.release());
    }
  }
}

}  // namespace

// Containers among the children are torn down from an explicit list, so a deep document never
// recurses here: each container taken from the list has already given its own containers to the
// list. The list hands containers back in document order, the order in which parsing and copying
// laid them out in memory.
JSONValue::~JSONValue() {
  if (!IsContainer()) return;
  std::vector<JSONValuePtr> pending;
  TakeChildren(pending);
  while (!pending.empty()) {
    JSONValuePtr container = std::move(pending.back());
    pending.pop_back();
    container->TakeChildren(pending);
  }
  if (IsObject()) {
    members_.~Members_();
  } else {
    elements_.~Elements_();
  }
}

void JSONValue::TakeChildren(std::vector<JSONValuePtr>& out) {
  if (IsObject()) {
    ReleaseChildren(members_, out);
  } else if (IsArray()) {
    ReleaseChildren(elements_, out);
  }
}

void* JSONValue::operator new(std::size_t size) {
  return AllocateBlock(size);
}

void JSONValue::operator delete(void* value) noexcept {
  FreeBlock(value);
}

void JSONValue::ThrowWrongType() {
  throw std::bad_variant_access();
}

JSONValuePtr JSONValue::Null() {
  return std::make_unique<JSONValue>(JSONType::Null);
}

JSONValuePtr JSONValue::Boolean(bool value) {
  auto made = std::make_unique<JSONValue>(JSONType::Boolean);
  made->boolean_ = value;
  return made;
}

JSONValuePtr JSONValue::WithText(JSONType type, std::u16string_view text) {
  void* block = AllocateBlock(sizeof(JSONValue) + text.size() * sizeof(char16_t));
  JSONValuePtr made(::new (block) JSONValue(type));
  made->length_ = text.size();
  CopyUnits(const_cast<char16_t*>(made->Characters()), text.data(), text.size());
  return made;
}

JSONValuePtr JSONValue::Number(std::u16string_view characters) {
  return WithText(JSONType::Number, characters);
}

JSONValuePtr JSONValue::String(std::u16string_view text) {
  return WithText(JSONType::String, text);
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

// Container by container from an explicit list of (source, copy) pairs: no recursion. The first
// child container is taken next, so the source is read, and the copy laid out, in document order.
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
      for (const JSONMember& member : source->members_) {
        JSONValuePtr child = ShallowCopy(*member.Value);
        if (child->IsContainer()) pending.emplace_back(member.Value.get(), child.get());
        copy->members_.push_back(JSONMember{JSONText(member.Name.View()), std::move(child)});
      }
    } else {
      for (const JSONValuePtr& element : source->elements_) {
        JSONValuePtr child = ShallowCopy(*element);
        if (child->IsContainer()) pending.emplace_back(element.get(), child.get());
        copy->elements_.push_back(std::move(child));
      }
    }
    std::reverse(pending.begin() + firstChild, pending.end());
  }
  return root;
}

}  // namespace velto
