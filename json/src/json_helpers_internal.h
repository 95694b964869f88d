#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "velto/json_box_record.h"
#include "velto/json_value.h"

namespace velto {

using ValueMaker = std::function<JSONValuePtr()>;

TJSONBox MakeBox(JSONValue* content, JSONValue* parent, std::u16string path, int32_t index,
                 TJSONBoxError error);

// The writes of the helpers with the value made by `make` only once the place is known to be
// good, so a failed write makes nothing.
TJSONBox PutInObject(JSONValue* object, std::u16string_view path, const ValueMaker& make);
TJSONBox PutInArray(JSONValue* array, int32_t index, const ValueMaker& make);
TJSONBox PushToArray(JSONValue* array, const ValueMaker& make);

// Reads with a default from a box that a helper produced, by the box's kind.
std::u16string TextOr(const TJSONBox& box, std::u16string_view fallback);
int64_t IntegerOr(const TJSONBox& box, int64_t fallback);
double FloatOr(const TJSONBox& box, double fallback, bool integerCounts);
bool BooleanOr(const TJSONBox& box, bool fallback);

}  // namespace velto
