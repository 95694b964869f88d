#include "json_helpers_internal.h"
#include "velto/json_handles.h"
#include "velto/json_helpers.h"

namespace velto {

void TJSONArrayHelper::PushValue(JSONValue* array, JSONValuePtr value) {
  if (TJSONValueHelper::Check<JSONType::Array>(array) && value)
    array->Elements().push_back(std::move(value));
}

bool TJSONArrayHelper::Check(const JSONValue* array, int32_t index) {
  return array && array->IsArray() && index >= 0 &&
         static_cast<size_t>(index) < array->Elements().size();
}

void TJSONArrayHelper::PutValue(JSONValue* array, int32_t index, JSONValuePtr value) {
  if (Check(array, index) && value)
    array->Elements()[static_cast<size_t>(index)] = std::move(value);
}

TJSONBox PushToArray(JSONValue* array, const ValueMaker& make) {
  array = TJSONValueHelper::Check<JSONType::Array>(array);
  if (!array) return MakeBox(nullptr, nullptr, u"", -1, jbeTypeMismatch);
  JSONValuePtr value = make();
  JSONValue* written = value.get();
  TJSONArrayHelper::PushValue(array, std::move(value));
  const auto count = static_cast<int32_t>(array->Elements().size());
  return MakeBox(written, array, u"", count - 1, jbeNone);
}

TJSONBox PutInArray(JSONValue* array, int32_t index, const ValueMaker& make) {
  array = TJSONValueHelper::Check<JSONType::Array>(array);
  if (!array) return MakeBox(nullptr, nullptr, u"", index, jbeTypeMismatch);
  if (index < 0) return PushToArray(array, make);
  if (!TJSONArrayHelper::Check(array, index)) {
    return MakeBox(nullptr, array, u"", index, jbeIndexOutOfBounds);
  }
  JSONValuePtr value = make();
  JSONValue* written = value.get();
  TJSONArrayHelper::PutValue(array, index, std::move(value));
  return MakeBox(written, array, u"", index, jbeNone);
}

TJSONBox TJSONArrayHelper::Push(JSONValue* array, const Variant& value) {
  return PushToArray(array, [&] { return JSONValueFrom(value); });
}

TJSONBox TJSONArrayHelper::Put(JSONValue* array, int32_t index, const Variant& value) {
  return PutInArray(array, index, [&] { return JSONValueFrom(value); });
}

TJSONBox TJSONArrayHelper::Get(JSONValue* array, int32_t index) {
  array = TJSONValueHelper::Check<JSONType::Array>(array);
  if (!array) return MakeBox(nullptr, nullptr, u"", index, jbeTypeMismatch);
  if (!Check(array, index)) return MakeBox(nullptr, array, u"", index, jbeIndexOutOfBounds);
  return MakeBox(array->Elements()[static_cast<size_t>(index)].get(), array, u"", index, jbeNone);
}

void TJSONArrayHelper::Delete(JSONValue* array, int32_t index) {
  if (!Check(array, index)) return;
  auto& elements = array->Elements();
  elements.erase(elements.begin() + index);
}

std::u16string TJSONArrayHelper::Get(JSONValue* array, int32_t index,
                                     std::u16string_view fallback) {
  return TextOr(Get(array, index), fallback);
}

int64_t TJSONArrayHelper::Get(JSONValue* array, int32_t index, int64_t fallback) {
  return IntegerOr(Get(array, index), fallback);
}

double TJSONArrayHelper::Get(JSONValue* array, int32_t index, double fallback) {
  return FloatOr(Get(array, index), fallback, false);
}

bool TJSONArrayHelper::Get(JSONValue* array, int32_t index, bool fallback) {
  return BooleanOr(Get(array, index), fallback);
}

}  // namespace velto
