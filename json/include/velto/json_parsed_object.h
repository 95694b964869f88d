#pragma once

#include <string_view>

#include "velto/json_box_record.h"

namespace velto {

// A root box on the object `text` holds, parsed and refused (ETypeMismatch) as JSONObject
// does. Unlike TJSONBox::Create(JSONObject(text)) the parsed document is not copied, so a
// large reply is held once.
TJSONBox ParsedObjectBox(std::u16string_view text);

}  // namespace velto
