#include "velto/library_state.h"

#include "velto/global.h"
#include "velto/json_settings.h"
#include "velto/velto_center.h"

namespace velto {

void LoadLibraryState() {
  UnitOpen();
  TVeltoCenter::OpenUnit();
  Global() = {};
}

void UnloadLibraryState() {
  Global() = {};
  TVeltoCenter::DestroyInstance();
  TVeltoCenter::Root().clear();
  TVeltoCenter::Key() = {};
  TVeltoCenter::Settings() = {};
  UnitClose();
}

void AbandonLibraryState() {
  TVeltoCenter::AbandonInstance();
}

}  // namespace velto
