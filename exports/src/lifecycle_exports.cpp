#include "velto/bstr.h"
#include "velto/export_guard.h"
#include "velto/global.h"
#include "velto/ini_settings.h"
#include "velto/init_trace.h"
#include "velto/trace.h"
#include "velto/user_card_dao.h"
#include "velto/velto_center.h"
#include "velto_box.h"

using namespace velto;

extern "C" {

VELTO_API VELTO_HANDLE STDCALL VeltoOpen(BSTR FileName) {
  VELTO_HANDLE handle = nullptr;
  GuardExport([&] {
    ApplyIniSettings(FromBstr(FileName));
    handle = &TVeltoCenter::GetInstance();
  });
  return handle;
}

VELTO_API void STDCALL VeltoClose(VELTO_HANDLE) {
  ClearHostFailure();
}

VELTO_API void STDCALL VeltoInit(BSTR RootUrl, BSTR UserCardNumber, BSTR SiteId) {
  GuardExport([&] {
    DebugTrace(InitTraceLine(FromBstr(RootUrl), FromBstr(UserCardNumber), FromBstr(SiteId)));
    TVeltoCenter::SetRoot(FromBstr(RootUrl));
    SetGlobal({FromBstr(UserCardNumber), FromBstr(SiteId)});
  });
}

VELTO_API void STDCALL VeltoEnter(BSTR UserCardNumber) {
  GuardExport([&] { TVeltoCenter::SetKey(TVeltoUserCardDAO::Enter(FromBstr(UserCardNumber))); });
}

VELTO_API void STDCALL VeltoLeave(void) {
  GuardExport([] { TVeltoUserCardDAO::Leave(); });
}

VELTO_API void STDCALL VeltoWorkBegin(IVeltoWorkEvents* Events) {
  GuardExport([&] { TVeltoCenter::GetInstance().WorkEvents().Reset(Events); });
}

VELTO_API void STDCALL VeltoWorkEnd(void) {
  GuardExport([] { TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr); });
}

}  // extern "C"
