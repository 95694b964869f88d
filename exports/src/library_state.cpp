#include "velto/library_state.h"

#include "velto/global.h"
#include "velto/json_settings.h"
#include "velto/velto_center.h"

namespace velto {

void LoadLibraryState() {
  UnitOpen();
  TVeltoCenter::OpenUnit();
  SetGlobal({});
}

void UnloadLibraryState() {
  SetGlobal({});
  TVeltoCenter::DestroyInstance();
  TVeltoCenter::SetRoot({});
  TVeltoCenter::SetKey({});
  TVeltoCenter::SetSettings({});
  UnitClose();
}

void AbandonLibraryState() {
  TVeltoCenter::AbandonInstance();
}

}  // namespace velto
