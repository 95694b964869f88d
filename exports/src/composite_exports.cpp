// The composite exports: each a story of typed operations told in its own file, run in
// the common frame of the session prologue and the result envelope.
#include "velto/bstr.h"
#include "velto/deletions.h"
#include "velto/issue_writes.h"
#include "velto/message_sending.h"
#include "velto/operation.h"
#include "velto/person_document.h"
#include "velto/portal_url.h"
#include "velto/provisioning.h"
#include "velto_box.h"

using namespace velto;

extern "C" {

VELTO_API void STDCALL VeltoRead(BSTR Id, BSTR* Result) {
  RunOperation(Result, [&] { return PersonDocument(FromBstr(Id)); });
}

VELTO_API void STDCALL VeltoWriteIssue(BSTR Data, BSTR* Result) {
  RunEnvelope(Result, [&] { return InputEnvelope(FromBstr(Data), WriteIssue); });
}

VELTO_API void STDCALL VeltoWriteIssues(BSTR Data, BSTR* Result) {
  RunEnvelope(Result, [&] { return InputEnvelope(FromBstr(Data), WriteIssues); });
}

VELTO_API void STDCALL VeltoPortalUrl(BSTR Id, BSTR* Result) {
  RunEnvelope(Result, [&] { return PortalUrlEnvelope(FromBstr(Id)); });
}

VELTO_API void STDCALL VeltoDeleteIssue(BSTR Id, BSTR IssueName, BSTR* Result) {
  RunCodeOperation(Result, [&] { DeleteIssues(FromBstr(Id), FromBstr(IssueName)); });
}

VELTO_API void STDCALL VeltoDeletePerson(BSTR Id, BSTR* Result) {
  RunCodeOperation(Result, [&] { DeletePerson(FromBstr(Id)); });
}

VELTO_API void STDCALL VeltoSendMessage(BSTR Data, BSTR* Result) {
  RunOperation(Result, [&] { return SendPersonMessage(FromBstr(Data)); });
}

VELTO_API void STDCALL VeltoSiteAdd(BSTR SiteId, BSTR SiteName, BSTR* Result) {
  RunCodeOperation(Result, [&] { AddSite(FromBstr(SiteId), FromBstr(SiteName)); });
}

VELTO_API void STDCALL VeltoUserAdd(BSTR UserId, BSTR UserName, BSTR Passwd, BSTR SiteId,
                                    BSTR* Result) {
  RunOperation(Result, [&] {
    return AddUser(FromBstr(UserId), FromBstr(UserName), FromBstr(Passwd), FromBstr(SiteId));
  });
}

}  // extern "C"
