/* Velto.Box: the exported interface of Velto.Box.dll and libvelto-box.so.
 *
 * Plain C; compiles as C and as C++. Every text is a BSTR: on Windows the COM BSTR of
 * oleaut32, on Linux the same layout (UTF-16 code units preceded by their 32-bit byte
 * length and followed by a 16-bit zero). A null BSTR is the empty text. Texts the library
 * hands back belong to the caller, who frees them with VeltoFreeString (or SysFreeString).
 *
 * A text-returning export takes the address of the caller's BSTR variable as its LAST
 * parameter; it frees the text the variable held (when not null) and stores a new one.
 * A failure that leaves an export keeps that variable unchanged and keeps the message for
 * the calling thread (VeltoLastError); on Windows the export also raises a continuable
 * SEH exception with the code VELTO_EXCEPTION_CODE whose first parameter points to the
 * zero-terminated message.
 */
#ifndef VELTO_BOX_H
#define VELTO_BOX_H

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
/* after windows.h */
#include <objidl.h>
#include <oleauto.h>
#else
#ifndef __cplusplus
#include <uchar.h>
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define STDCALL __stdcall
#else
#define STDCALL
#endif

#if defined(_WIN32)
#define VELTO_API /* the DLL's .def file names the exports */
#elif defined(VELTO_BUILDING_LIBRARY)
#define VELTO_API __attribute__((visibility("default")))
#else
#define VELTO_API
#endif

#define VELTO_EXCEPTION_CODE 0xE0564258u

#ifndef _WIN32
typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef int32_t HRESULT;
typedef uint32_t ULONG;

typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;

/* The COM stream: the host's download target. Slot order as in COM; the statistics
 * record of Stat is never used by the library and is left opaque. */
typedef struct IStream IStream;
struct tagSTATSTG;
typedef struct IStreamVtbl {
  HRESULT(STDCALL* QueryInterface)(IStream* This, const GUID* riid, void** object);
  ULONG(STDCALL* AddRef)(IStream* This);
  ULONG(STDCALL* Release)(IStream* This);
  HRESULT(STDCALL* Read)(IStream* This, void* buffer, ULONG count, ULONG* read);
  HRESULT(STDCALL* Write)(IStream* This, const void* buffer, ULONG count, ULONG* written);
  HRESULT(STDCALL* Seek)(IStream* This, int64_t move, uint32_t origin, uint64_t* new_position);
  HRESULT(STDCALL* SetSize)(IStream* This, uint64_t size);
  HRESULT(STDCALL* CopyTo)
  (IStream* This, IStream* target, uint64_t count, uint64_t* read, uint64_t* written);
  HRESULT(STDCALL* Commit)(IStream* This, uint32_t flags);
  HRESULT(STDCALL* Revert)(IStream* This);
  HRESULT(STDCALL* LockRegion)(IStream* This, uint64_t offset, uint64_t count, uint32_t type);
  HRESULT(STDCALL* UnlockRegion)(IStream* This, uint64_t offset, uint64_t count, uint32_t type);
  HRESULT(STDCALL* Stat)(IStream* This, struct tagSTATSTG* statistics, uint32_t flags);
  HRESULT(STDCALL* Clone)(IStream* This, IStream** clone);
} IStreamVtbl;
struct IStream {
  const IStreamVtbl* lpVtbl;
};
#endif

/* The host's progress receiver, {BFD27F26-8133-4DA7-9C16-0F7A8E12D396}. WorkMode 0 is
 * reading the reply, 1 writing the request; the counts are bytes. Calls come on the
 * thread that made the request, inside it. Its identity, for a host's QueryInterface:
 *   static const GUID kIid = VELTO_IID_IVELTOWORKEVENTS_INIT; */
#define VELTO_IID_IVELTOWORKEVENTS_INIT              \
  {                                                  \
    0xBFD27F26, 0x8133, 0x4DA7, {                    \
      0x9C, 0x16, 0x0F, 0x7A, 0x8E, 0x12, 0xD3, 0x96 \
    }                                                \
  }

typedef struct IVeltoWorkEvents IVeltoWorkEvents;
typedef struct IVeltoWorkEventsVtbl {
  HRESULT(STDCALL* QueryInterface)(IVeltoWorkEvents* This, const GUID* riid, void** object);
  ULONG(STDCALL* AddRef)(IVeltoWorkEvents* This);
  ULONG(STDCALL* Release)(IVeltoWorkEvents* This);
  void(STDCALL* WorkBegin)(IVeltoWorkEvents* This, int32_t WorkMode, int64_t WorkCountMax);
  void(STDCALL* WorkEnd)(IVeltoWorkEvents* This, int32_t WorkMode);
  void(STDCALL* Work)(IVeltoWorkEvents* This, int32_t WorkMode, int64_t WorkCount);
} IVeltoWorkEventsVtbl;
struct IVeltoWorkEvents {
  const IVeltoWorkEventsVtbl* lpVtbl;
};

typedef void* VELTO_HANDLE;

/* Lifecycle and configuration. */
VELTO_API VELTO_HANDLE STDCALL VeltoOpen(BSTR FileName);
VELTO_API void STDCALL VeltoClose(VELTO_HANDLE Handle);
VELTO_API void STDCALL VeltoInit(BSTR RootUrl, BSTR UserCardNumber, BSTR SiteId);
VELTO_API void STDCALL VeltoEnter(BSTR UserCardNumber);
VELTO_API void STDCALL VeltoLeave(void);
VELTO_API void STDCALL VeltoWorkBegin(IVeltoWorkEvents* Events);
VELTO_API void STDCALL VeltoWorkEnd(void);

/* The message of the calling thread's last export call that failed without a result;
 * empty when that call did not fail so. */
VELTO_API void STDCALL VeltoLastError(BSTR* Result);

/* Texts for hosts without oleaut32: Length code units copied from Text (zeros when Text
 * is null). */
VELTO_API BSTR STDCALL VeltoAllocString(const OLECHAR* Text, uint32_t Length);
VELTO_API void STDCALL VeltoFreeString(BSTR Text);

/* Operations of several requests. Each checks the session first (logging in again with the
 * configured card when the server no longer accepts the key; a failure there leaves the
 * export) and stores its result envelope in *Result: "code" "SUCCESS" and "data", or
 * "code" "FAIL" and "data" the message. VeltoWriteIssue(s) return their input document
 * with "code" and "data" set, and input that is not a JSON object fails without a result,
 * as a failed session check does; VeltoDeleteIssue, VeltoDeletePerson and VeltoSiteAdd
 * succeed with "code" alone; VeltoPortalUrl returns an empty object for a person without a
 * portal. */
/* BEGIN composite exports: written by velto_interface from its tables, do not edit */
VELTO_API void STDCALL VeltoRead(BSTR Id, BSTR* Result);

VELTO_API void STDCALL VeltoWriteIssue(BSTR Data, BSTR* Result);

VELTO_API void STDCALL VeltoWriteIssues(BSTR Data, BSTR* Result);

VELTO_API void STDCALL VeltoPortalUrl(BSTR Id, BSTR* Result);

VELTO_API void STDCALL VeltoDeleteIssue(BSTR Id, BSTR IssueName, BSTR* Result);

VELTO_API void STDCALL VeltoDeletePerson(BSTR Id, BSTR* Result);

VELTO_API void STDCALL VeltoSendMessage(BSTR Data, BSTR* Result);

VELTO_API void STDCALL VeltoSiteAdd(BSTR SiteId, BSTR SiteName, BSTR* Result);

VELTO_API void STDCALL VeltoUserAdd(BSTR UserId, BSTR UserName, BSTR Passwd, BSTR SiteId,
                                    BSTR* Result);
/* END composite exports */

/* Single server operations, one export each. Each checks the session first, as above, then
 * sends its one request and stores in *Result the result envelope, the indented JSON text
 *   {"code": "SUCCESS", "data": text}   or   {"code": "FAIL", "data": the error's message}
 * where "data" is always a JSON string: the server's "value" as indented JSON text (parse
 * it a second time), the bare text of UserCard_GetNumber, or empty for a _Delete.
 * A parameter named ...JsonString is a JSON object; it is sent indented as the request body
 * (File_Add reads only its "hlscName", "hlscDate" and "endTime"). Ids and filter values may
 * hold any character: each travels percent-encoded as one path segment or query value.
 * File_GetData writes the file's bytes into the host's stream from its current position and
 * returns no envelope: its failures leave the export, and bytes already written stay.
 * Portal_GetPortalUrl returns the address of the portal's gate as plain text; it sends
 * nothing and needs no log-in. */
/* BEGIN pass-through exports: written by velto_interface from its tables, do not edit */
VELTO_API void STDCALL User_GetList(BSTR* Result);
VELTO_API void STDCALL User_Add(BSTR UserJsonString, BSTR* Result);
VELTO_API void STDCALL User_Get(BSTR UserId, BSTR* Result);
VELTO_API void STDCALL User_Modify(BSTR UserId, BSTR UserJsonString, BSTR* Result);
VELTO_API void STDCALL User_Delete(BSTR UserId, BSTR* Result);

VELTO_API void STDCALL UserCard_GetList(BSTR UserId, BSTR* Result);
VELTO_API void STDCALL UserCard_Add(BSTR UserId, BSTR UserCardJsonString, BSTR* Result);
VELTO_API void STDCALL UserCard_Delete(BSTR UserCardId, BSTR* Result);
VELTO_API void STDCALL UserCard_GetNumber(BSTR UserCardId, BSTR* Result);

VELTO_API void STDCALL Site_GetList(BSTR* Result);
VELTO_API void STDCALL Site_Add(BSTR SiteJsonString, BSTR* Result);
VELTO_API void STDCALL Site_Get(BSTR SiteId, BSTR* Result);
VELTO_API void STDCALL Site_Modify(BSTR SiteId, BSTR SiteJsonString, BSTR* Result);
VELTO_API void STDCALL Site_Delete(BSTR SiteId, BSTR* Result);
VELTO_API void STDCALL Site_SetLogo(BSTR SiteId, BSTR FileName, BSTR* Result);

VELTO_API void STDCALL Person_GetList(BSTR SiteId, BSTR PersonName, BSTR* Result);
VELTO_API void STDCALL Person_Add(BSTR SiteId, BSTR PersonJsonString, BSTR* Result);
VELTO_API void STDCALL Person_Get(BSTR SiteId, BSTR PersonId, BSTR* Result);
VELTO_API void STDCALL Person_Modify(BSTR SiteId, BSTR PersonId, BSTR PersonJsonString,
                                     BSTR* Result);
VELTO_API void STDCALL Person_Delete(BSTR SiteId, BSTR PersonId, BSTR* Result);
VELTO_API void STDCALL Person_GetEnterList(BSTR SiteId, BSTR PersonId, BSTR SearchFrom,
                                           BSTR SearchTo, BSTR* Result);

VELTO_API void STDCALL Consent_Add(BSTR SiteId, BSTR PersonId, BSTR ConsentJsonString,
                                   BSTR* Result);
VELTO_API void STDCALL Consent_Get(BSTR SiteId, BSTR PersonId, BSTR* Result);
VELTO_API void STDCALL Consent_Modify(BSTR SiteId, BSTR PersonId, BSTR ConsentJsonString,
                                      BSTR* Result);
VELTO_API void STDCALL Consent_Delete(BSTR SiteId, BSTR PersonId, BSTR* Result);

VELTO_API void STDCALL Issue_GetList(BSTR SiteId, BSTR PersonId, BSTR IssueName, BSTR* Result);
VELTO_API void STDCALL Issue_Add(BSTR SiteId, BSTR PersonId, BSTR IssueJsonString, BSTR* Result);
VELTO_API void STDCALL Issue_Get(BSTR IssueId, BSTR* Result);
VELTO_API void STDCALL Issue_Modify(BSTR IssueId, BSTR IssueJsonString, BSTR* Result);
VELTO_API void STDCALL Issue_Delete(BSTR IssueId, BSTR* Result);

VELTO_API void STDCALL File_GetList(BSTR IssueId, BSTR FileName, BSTR* Result);
VELTO_API void STDCALL File_Add(BSTR IssueId, BSTR FullFileName, BSTR FileJsonString, BSTR* Result);
VELTO_API void STDCALL File_Get(BSTR FileId, BSTR* Result);
VELTO_API void STDCALL File_Modify(BSTR FileId, BSTR FileJsonString, BSTR* Result);
VELTO_API void STDCALL File_Delete(BSTR FileId, BSTR* Result);
VELTO_API void STDCALL File_GetData(BSTR FileId, IStream* FileStream);
VELTO_API void STDCALL File_GetLogList(BSTR SiteId, BSTR PersonId, BSTR FileId, BSTR Action,
                                       BSTR SearchFrom, BSTR SearchTo, BSTR* Result);

VELTO_API void STDCALL Portal_GetList(BSTR SiteId, BSTR PersonId, BSTR PortalName, BSTR* Result);
VELTO_API void STDCALL Portal_Add(BSTR SiteId, BSTR PersonId, BSTR PortalJsonString, BSTR* Result);
VELTO_API void STDCALL Portal_Get(BSTR PortalId, BSTR* Result);
VELTO_API void STDCALL Portal_Modify(BSTR PortalId, BSTR PortalJsonString, BSTR* Result);
VELTO_API void STDCALL Portal_Delete(BSTR PortalId, BSTR* Result);
VELTO_API void STDCALL Portal_GetPortalUrl(BSTR PortalId, BSTR* Result);

VELTO_API void STDCALL Message_Add(BSTR SiteId, BSTR MessageJsonString, BSTR* Result);
VELTO_API void STDCALL Message_GetSendResult(BSTR SiteId, BSTR PersonId, BSTR SearchFrom,
                                             BSTR SearchTo, BSTR* Result);

VELTO_API void STDCALL Billing_GetList(BSTR SiteId, BSTR PersonId, BSTR ClassCd, BSTR BillingFrom,
                                       BSTR BillingTo, BSTR* Result);
VELTO_API void STDCALL Billing_Add(BSTR SiteId, BSTR BillingJsonString, BSTR* Result);

VELTO_API void STDCALL Survey_GetList(BSTR IssueId, BSTR* Result);
VELTO_API void STDCALL Survey_Add(BSTR IssueId, BSTR SurveyJsonString, BSTR* Result);
VELTO_API void STDCALL Survey_Get(BSTR SurveyId, BSTR* Result);
VELTO_API void STDCALL Survey_Modify(BSTR SurveyId, BSTR SurveyJsonString, BSTR* Result);
VELTO_API void STDCALL Survey_Delete(BSTR SurveyId, BSTR* Result);

VELTO_API void STDCALL SurveyValue_GetList(BSTR SurveyId, BSTR* Result);
VELTO_API void STDCALL SurveyValue_GetCompleteList(BSTR SurveyId, BSTR* Result);
/* END pass-through exports */

#ifdef __cplusplus
}
#endif

#endif /* VELTO_BOX_H */
