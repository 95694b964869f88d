// The exports of single server operations: those of the table's rows that hand back an
// envelope defined from it, the download by hand; and the gate address, which sends nothing.
#include "velto/billing_dao.h"
#include "velto/bstr.h"
#include "velto/consent_dao.h"
#include "velto/export_guard.h"
#include "velto/file_dao.h"
#include "velto/gate_address.h"
#include "velto/issue_dao.h"
#include "velto/message_dao.h"
#include "velto/pass_through_export.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"
#include "velto/session_prologue.h"
#include "velto/site_dao.h"
#include "velto/survey_dao.h"
#include "velto/survey_value_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"
#include "velto_box.h"

using namespace velto;

extern "C" {

VELTO_PASS_THROUGH_SHAPES(VELTO_DEFINE_PASS_THROUGH_EXPORT, VELTO_DEFINE_PASS_THROUGH_EXPORT,
                          VELTO_PP_DROP)

// No envelope and no handler of its own: every failure leaves the export, and bytes already
// written stay in the host's stream.
VELTO_API void STDCALL File_GetData(BSTR FileId, IStream* FileStream) {
  GuardExport([&] {
    SessionPrologue();
    TVeltoFileDAO::File_GetData(FromBstr(FileId), FileStream);
  });
}

// Composes a text only: no log-in, no request, no envelope.
VELTO_API void STDCALL Portal_GetPortalUrl(BSTR PortalId, BSTR* Result) {
  GuardExport([&] { StoreBstr(Result, GateAddress(FromBstr(PortalId))); });
}

}  // extern "C"
