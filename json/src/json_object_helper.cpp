#include "json_helpers_internal.h"
#include "velto/json_handles.h"
#include "velto/json_helpers.h"

namespace velto {

JSONMember* TJSONObjectHelper::GetPair(JSONValue* object, std::u16string_view name) {
  object = TJSONValueHelper::Check<JSONType::Object>(object);
  return object ? object->FindMember(name) : nullptr;
}

void TJSONObjectHelper::PutValue(JSONValue* object, std::u16string_view name, JSONValuePtr value) {
  object = TJSONValueHelper::Check<JSONType::Object>(object);
  if (object) object->PutMember(name, std::move(value));
}

JSONValue* TJSONObjectHelper::GetParent(JSONValue* object, const TJSONPath& path) {
  object = TJSONValueHelper::Check<JSONType::Object>(object);
  for (int32_t i = 0; object && i + 1 < path.Count(); ++i) {
    const JSONMember* member = GetPair(object, path.Items(i));
    object = member ? TJSONValueHelper::Check<JSONType::Object>(member->Value.get()) : nullptr;
  }
  return object;
}

JSONValue* TJSONObjectHelper::GetValue(JSONValue* object, const TJSONPath& path) {
  const JSONMember* member = GetPair(GetParent(object, path), path.Last());
  return member ? member->Value.get() : nullptr;
}

TJSONBox PutInObject(JSONValue* object, std::u16string_view path, const ValueMaker& make) {
  object = TJSONValueHelper::Check<JSONType::Object>(object);
  if (!object) return MakeBox(nullptr, nullptr, u"", -1, jbeTypeMismatch);
  const TJSONPath items(path);
  JSONValue* parent = TJSONObjectHelper::GetParent(object, items);
  if (!parent) return MakeBox(nullptr, object, std::u16string(path), -1, jbePathNotFound);
  JSONValuePtr value = make();
  JSONValue* written = value.get();
  const std::u16string last = items.Last();
  TJSONObjectHelper::PutValue(parent, last, std::move(value));
  return MakeBox(written, parent, last, -1, jbeNone);
}

TJSONBox TJSONObjectHelper::Put(JSONValue* object, std::u16string_view path, const Variant& value) {
  return PutInObject(object, path, [&] { return JSONValueFrom(value); });
}

TJSONBox TJSONObjectHelper::Get(JSONValue* object, std::u16string_view path) {
  object = TJSONValueHelper::Check<JSONType::Object>(object);
  if (!object) return MakeBox(nullptr, nullptr, u"", -1, jbeTypeMismatch);
  const TJSONPath items(path);
  JSONValue* parent = GetParent(object, items);
  if (!parent) return MakeBox(nullptr, object, std::u16string(path), -1, jbePathNotFound);
  const std::u16string last = items.Last();
  const JSONMember* member = GetPair(parent, last);
  return MakeBox(member ? member->Value.get() : nullptr, parent, last, -1, jbeNone);
}

void TJSONObjectHelper::Delete(JSONValue* object, std::u16string_view path) {
  const TJSONPath items(path);
  JSONValue* parent = GetParent(object, items);
  if (!parent) return;
  auto& members = parent->Members();
  const std::u16string last = items.Last();
  for (auto it = members.begin(); it != members.end(); ++it) {
    if (it->Name == last) {
      members.erase(it);
      return;
    }
  }
}

bool TJSONObjectHelper::Exists(JSONValue* object, std::u16string_view path) {
  return object && GetValue(object, TJSONPath(path)) != nullptr;
}

std::u16string TJSONObjectHelper::Get(JSONValue* object, std::u16string_view path,
                                      std::u16string_view fallback) {
  return TextOr(Get(object, path), fallback);
}

int64_t TJSONObjectHelper::Get(JSONValue* object, std::u16string_view path, int64_t fallback) {
  return IntegerOr(Get(object, path), fallback);
}

double TJSONObjectHelper::Get(JSONValue* object, std::u16string_view path, double fallback) {
  return FloatOr(Get(object, path), fallback, true);
}

bool TJSONObjectHelper::Get(JSONValue* object, std::u16string_view path, bool fallback) {
  return BooleanOr(Get(object, path), fallback);
}

}  // namespace velto
