#include "velto/json_exceptions.h"

#include "json_number_text.h"

namespace velto {

ETypeMismatch::ETypeMismatch() : JSONException(u"Type mismatch") {}

EPathNotFound::EPathNotFound() : JSONException(u"Path was not found") {}

EIndexOutOfBounds::EIndexOutOfBounds(int32_t index)
    : JSONException(u"Index out of bounds (" + FormatInteger(index) + u")") {}

EArgumentInvalid::EArgumentInvalid() : JSONException(u"Argument is invalid") {}

EArgumentOutOfRange::EArgumentOutOfRange() : Exception(u"Argument out of range") {}

}  // namespace velto
