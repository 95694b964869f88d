#include "velto/key.h"

namespace velto {

TVeltoKey ToKey(const TJSONBox& value) {
  if (value.Kind() != jbkObject) throw ETypeMismatch();
  return {value[u"userId"].AsString(), value[u"id"].AsString()};
}

}  // namespace velto
