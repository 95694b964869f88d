#include <cmath>

#include "json_number_text.h"
#include "velto/json_exceptions.h"
#include "velto/json_handles.h"

namespace velto {

JSONValuePtr JSONValueFrom(const Variant& value) {
  if (value.IsInteger() && value.Kind() != VariantKind::UInt64) {
    return JSONValue::Number(FormatInteger(value.Int64Value()));
  }
  // NaN and infinities have no JSON form; writing them would corrupt the document.
  if (value.IsFloat() && std::isfinite(value.DoubleValue())) {
    return JSONValue::Number(FormatFloat(value.DoubleValue()));
  }
  if (value.IsString()) return JSONValue::String(value.Text());
  if (value.Kind() == VariantKind::Boolean) return JSONValue::Boolean(value.BooleanValue());
  if (value.Kind() == VariantKind::Interface) {
    if (const auto handle = std::dynamic_pointer_cast<IJSONValue>(value.Interface())) {
      return handle->Clone();
    }
  }
  throw ETypeMismatch();
}

}  // namespace velto
