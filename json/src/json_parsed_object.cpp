#include "velto/json_parsed_object.h"

#include "json_parser.h"
#include "velto/json_exceptions.h"

namespace velto {

TJSONBox ParsedObjectBox(std::u16string_view text) {
  JSONValuePtr parsed = ParseJSON(text);
  if (!parsed || !parsed->IsObject()) throw ETypeMismatch();
  TJSONBox box;
  box.Content = parsed.release();  // a root box owns its Content until Free
  return box;
}

}  // namespace velto
