#include "velto/json_stream.h"

#include "json_helpers_internal.h"
#include "velto/json_exceptions.h"
#include "velto/json_handles.h"

namespace velto {

TJSONStream TJSONStream::operator<=(const Variant& right) const {
  const std::shared_ptr<IJSONPart> part = JSONPartFrom(right);
  JSONValue* content = Box.Content;
  if (const auto pair = std::dynamic_pointer_cast<IJSONPair>(part)) {
    if (!content || !content->IsObject()) throw ETypeMismatch();
    const auto value = pair->GetValue();
    content->PutMember(pair->GetName(), value ? value->Clone() : nullptr);
  } else {
    if (!content || !content->IsArray()) throw ETypeMismatch();
    if (JSONValuePtr copy = std::dynamic_pointer_cast<IJSONValue>(part)->Clone()) {
      content->Elements().push_back(std::move(copy));
    }
  }
  return *this;
}

TJSONStream TJSONStream::operator<=(const TJSONBox& right) const {
  if (!right.Content) throw ETypeMismatch();
  JSONBoxCheck(PushToArray(Box.Content, [&] { return right.Content->Clone(); }));
  return *this;
}

}  // namespace velto
