#pragma once

#include <string>

#include "velto/json_stringifier.h"
#include "velto/json_variant.h"

namespace velto {

// Every process-wide setting of the JSON box, made with its load value on first use.
struct JSONSettings {
  JSONSettings();

  Variant stringDefault;
  Variant integerDefault;
  Variant floatDefault;
  Variant booleanDefault;
  Variant variantDefault;
  std::u16string margin;
  TExecuteMethod onExecute;
};

JSONSettings& Settings();

}  // namespace velto
