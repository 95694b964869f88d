#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "velto/json_value.h"

namespace velto {

using TExecuteMethod = std::function<std::u16string(const JSONValue* value)>;

// The text writer behind TJSONBox::Stringify. Output is pure ASCII: CR LF line breaks, "\/" for a
// slash, and \uXXXX (upper-case hex) for every code unit below 0x20 or above 0x7F without a short
// escape. Nothing recurses, so any depth can be written.
class TJSONStringifier {
 public:
  // The indentation unit, two spaces at load; empty text switches to compact output.
  static std::u16string& Margin();
  // When set, replaces the whole writer; unset at load.
  static TExecuteMethod& OnExecute();

  static std::u16string Execute(const JSONValue* value);
};

std::u16string JSONStringify(const JSONValue* value);
// Appends value written with `margin` before its inner lines and Margin() more per level.
void JSONStringifyWithMargin(std::u16string& builder, const JSONValue* value,
                             std::u16string_view margin);

}  // namespace velto
