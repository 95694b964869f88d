#include "velto/json_location.h"

#include "velto/json_exceptions.h"

namespace velto {

TJSONLocation::TJSONLocation(const Variant& value) {
  switch (value.Kind()) {
    case VariantKind::Int8:
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::UInt8:
    case VariantKind::UInt16:
    case VariantKind::UInt32:
      Kind = jlkIndex;
      Index = static_cast<int32_t>(value.Int64Value());
      return;
    default:
      if (!value.IsString()) throw EArgumentInvalid();
      Kind = jlkPath;
      Path = value.Text();
  }
}

}  // namespace velto
