#pragma once

#include "velto/json_variant.h"

namespace velto {

// The fallbacks of the box conversions. A null default makes its conversion raise ETypeMismatch.
//
// Load-time settings: these, TJSONStringifier::Margin() and TJSONStringifier::OnExecute() live in
// one function-local static made on first use with the load values (UnitOpen), so they are ready
// before anything reads them, also from other static initialisers, whatever the link order.
// TJSONBox::Check is constant-initialised to true. Nothing in the library assigns them later.
class TJSONDefault {
 public:
  static Variant& String_();   // empty text
  static Variant& Integer_();  // 0
  static Variant& Float_();    // 0
  static Variant& Boolean_();  // false
  static Variant& Variant_();  // null; no conversion reads it
};

// Restores every setting to its load value (TJSONBox::Check included).
void UnitOpen();
// At unload: frees the memory parsing keeps for later documents (the settings are released
// with the process's statics).
void UnitClose();

}  // namespace velto
