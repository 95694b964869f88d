#include "velto/json_handles.h"

#include "json_parser.h"
#include "velto/json_exceptions.h"

namespace velto {

std::shared_ptr<IJSONPart> JSONPartFrom(const Variant& value) {
  if (value.Kind() == VariantKind::Interface) {
    if (auto pair = std::dynamic_pointer_cast<IJSONPair>(value.Interface())) return pair;
    if (auto handle = std::dynamic_pointer_cast<IJSONValue>(value.Interface())) return handle;
    throw ETypeMismatch();
  }
  return std::make_shared<TJSONValueFactory>(JSONValueFrom(value));
}

std::shared_ptr<IJSONPair> JSONPair(std::u16string name, const Variant& value) {
  return std::make_shared<TJSONPairFactory>(
      std::move(name), std::make_shared<TJSONValueFactory>(JSONValueFrom(value)));
}

namespace {

template <class Factory>
std::shared_ptr<Factory> ParseAs(std::u16string_view data, JSONType type) {
  JSONValuePtr parsed = ParseJSON(data);
  if (!parsed || parsed->Type() != type) throw ETypeMismatch();
  return std::make_shared<Factory>(std::move(parsed));
}

}  // namespace

std::shared_ptr<IJSONObject> JSONObject(std::u16string_view data) {
  return ParseAs<TJSONObjectFactory>(data, JSONType::Object);
}

std::shared_ptr<IJSONObject> JSONObject() {
  return JSONObject(u"{}");
}

std::shared_ptr<IJSONArray> JSONArray(std::u16string_view data) {
  return ParseAs<TJSONArrayFactory>(data, JSONType::Array);
}

std::shared_ptr<IJSONArray> JSONArray() {
  return JSONArray(u"[]");
}

}  // namespace velto
