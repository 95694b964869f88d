#include "velto/json_settings.h"

#include "json_node_arena.h"
#include "json_settings_store.h"
#include "velto/json_box_record.h"

namespace velto {

JSONSettings::JSONSettings()
    : stringDefault(std::u16string()),
      integerDefault(0),
      floatDefault(0),
      booleanDefault(false),
      variantDefault(Variant::Null()),
      margin(u"  ") {}

JSONSettings& Settings() {
  static JSONSettings settings;
  return settings;
}

Variant& TJSONDefault::String_() {
  return Settings().stringDefault;
}
Variant& TJSONDefault::Integer_() {
  return Settings().integerDefault;
}
Variant& TJSONDefault::Float_() {
  return Settings().floatDefault;
}
Variant& TJSONDefault::Boolean_() {
  return Settings().booleanDefault;
}
Variant& TJSONDefault::Variant_() {
  return Settings().variantDefault;
}

void UnitOpen() {
  Settings() = JSONSettings();
  TJSONBox::Check = true;
}

void UnitClose() {
  ReleaseSpareChunks();
}

}  // namespace velto
