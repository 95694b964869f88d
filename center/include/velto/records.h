#pragma once

#include <cstdint>
#include <string>

#include "velto/json_box.h"

namespace velto {

// The records the server keeps, as plain text fields; an empty text means "not given".
// Identifiers of every kind are opaque text.

struct TVeltoUser {
  std::u16string Id;
  std::u16string Password;
  std::u16string Name;
  std::u16string Roles;
};

struct TVeltoUserCard {
  std::u16string Id;
  std::u16string UserId;
};

struct TVeltoSite {
  std::u16string Id;
  std::u16string Name;
  std::u16string FileId;  // read only: never sent back
};

struct TVeltoPerson {
  std::u16string SiteId;
  std::u16string Id;
  std::u16string Name;
  std::u16string Gender;
  std::u16string Birth;
  std::u16string Phone;
  std::u16string ConsentTime;
};

// Reached only through the pass-through operations; documents the resource's shape.
struct TVeltoConsent {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string Signature;
  std::u16string RegTime;
};

struct TVeltoIssue {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string Id;
  std::u16string Name;
  std::u16string EndTime;
};

struct TVeltoFile {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string IssueId;
  std::u16string Id;
  std::u16string Path;
  std::u16string HlscName;
  std::u16string HlscDate;
  std::u16string FileName;
  int64_t FileSize = 0;
};

struct TVeltoPortal {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string Id;
  std::u16string Name;
  std::u16string EndTime;
};

struct TVeltoMessage {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string Cmid;
  std::u16string MsgType;
  std::u16string RequestTime;  // written as "rquestTime", read from "requestTime"
  std::u16string SendTime;
  std::u16string DestPhone;
  std::u16string SendPhone;
  std::u16string MsgBody;
  std::u16string TemplateCode;
  std::u16string SenderKey;
  std::u16string NationCode;
  std::u16string ReType;
  std::u16string ReBody;
};

struct TVeltoBilling {
  std::u16string ClassCd;
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string Id;
  std::u16string Name;
  std::u16string Contents;
  std::u16string RegTime;
  std::u16string BillingDate;
};

// Reached only through the pass-through operations; documents the resource's shape.
struct TVeltoSurvey {
  std::u16string SiteId;
  std::u16string PersonId;
  std::u16string IssueId;
  std::u16string TemplateId;
  std::u16string TemplateVersion;
  std::u16string Id;
  std::u16string Name;
  int32_t Order = 0;
  std::u16string State;
  std::u16string Extra;
  std::u16string Template;
  std::u16string Values;
};

struct TVeltoSurveyValue {
  std::u16string SurveyId;
  std::u16string TagId;
  std::u16string Value;
};

// Readers: each takes a box that holds a JSON object (a reply's "value" or one element of
// it). Missing or wrongly typed members read as empty text; a box that holds no object
// raises ETypeMismatch.
TVeltoUser ToUser(const TJSONBox& value);
TVeltoUserCard ToUserCard(const TJSONBox& value);
TVeltoSite ToSite(const TJSONBox& value);
TVeltoPerson ToPerson(const TJSONBox& value);
TVeltoIssue ToIssue(const TJSONBox& value);
TVeltoFile ToFile(const TJSONBox& value);
TVeltoPortal ToPortal(const TJSONBox& value);
TVeltoMessage ToMessage(const TJSONBox& value);
TVeltoBilling ToBilling(const TJSONBox& value);

// Writers: each returns a new root box owning a fresh object with every member present,
// in wire order; the caller frees it (JSONRootGuard).
TJSONBox ToJSONBox(const TVeltoUser& record);
TJSONBox ToJSONBox(const TVeltoUserCard& record);
TJSONBox ToJSONBox(const TVeltoSite& record);
TJSONBox ToJSONBox(const TVeltoPerson& record);
TJSONBox ToJSONBox(const TVeltoIssue& record);
TJSONBox ToJSONBox(const TVeltoFile& record);
TJSONBox ToJSONBox(const TVeltoPortal& record);
TJSONBox ToJSONBox(const TVeltoMessage& record);
TJSONBox ToJSONBox(const TVeltoBilling& record);

}  // namespace velto
