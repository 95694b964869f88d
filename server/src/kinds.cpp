#include "kinds.h"

namespace velto::server::kinds {

const RecordKind kUser{"users",
                       {{.name = "id"},
                        {.name = "passwordHash", .hidden = true},
                        {.name = "name", .settable = true},
                        {.name = "roles", .settable = true}}};
const RecordKind kUserCard{
    "user_cards", {{.name = "id"}, {.name = "userId"}, {.name = "number", .hidden = true}}};
const RecordKind kSession{"sessions",
                          {{.name = "id"},
                           {.name = "userId"},
                           {.name = "gate", .hidden = true},
                           {.name = "lastSeen", .hidden = true}}};
const RecordKind kSite{"sites",
                       {{.name = "id"}, {.name = "name", .settable = true}, {.name = "fileId"}}};
const RecordKind kPerson{"persons",
                         {{.name = "siteId"},
                          {.name = "id"},
                          {.name = "name", .settable = true},
                          {.name = "gender", .settable = true},
                          {.name = "birth", .settable = true},
                          {.name = "phone", .settable = true},
                          {.name = "consentTime", .settable = true}}};
const RecordKind kConsent{"consents",
                          {{.name = "siteId"},
                           {.name = "personId"},
                           {.name = "signature", .settable = true},
                           {.name = "regTime", .settable = true}}};
const RecordKind kIssue{"issues",
                        {{.name = "siteId"},
                         {.name = "personId"},
                         {.name = "id"},
                         {.name = "name", .settable = true},
                         {.name = "endTime", .settable = true}}};
const RecordKind kFile{"files",
                       {{.name = "siteId"},
                        {.name = "personId"},
                        {.name = "issueId"},
                        {.name = "id"},
                        {.name = "path"},
                        {.name = "hlscName", .settable = true},
                        {.name = "hlscDate", .settable = true},
                        {.name = "fileName", .settable = true},
                        {.name = "fileSize", .number = true},
                        {.name = "endTime", .settable = true}}};
const RecordKind kFileLog{"file_log",
                          {{.name = "siteId"},
                           {.name = "personId"},
                           {.name = "issueId"},
                           {.name = "fileId"},
                           {.name = "fileName"},
                           {.name = "action"},
                           {.name = "logTime"}}};
const RecordKind kPortal{"portals",
                         {{.name = "siteId"},
                          {.name = "personId"},
                          {.name = "id"},
                          {.name = "name", .settable = true},
                          {.name = "endTime", .settable = true}}};
const RecordKind kEnterLog{"enter_log",
                           {{.name = "siteId"},
                            {.name = "personId"},
                            {.name = "portalId"},
                            {.name = "portalName"},
                            {.name = "enterTime"}}};
const RecordKind kMessage{"messages",
                          {{.name = "siteId"},
                           {.name = "personId", .settable = true},
                           {.name = "cmid"},
                           {.name = "msgType", .settable = true},
                           {.name = "requestTime"},
                           {.name = "sendTime"},
                           {.name = "destPhone", .settable = true},
                           {.name = "sendPhone", .settable = true},
                           {.name = "msgBody", .settable = true},
                           {.name = "templateCode", .settable = true},
                           {.name = "senderKey", .settable = true},
                           {.name = "nationCode", .settable = true},
                           {.name = "reType", .settable = true},
                           {.name = "reBody", .settable = true}}};
const RecordKind kBilling{"billing",
                          {{.name = "classCd", .settable = true},
                           {.name = "siteId"},
                           {.name = "personId", .settable = true},
                           {.name = "id"},
                           {.name = "name", .settable = true},
                           {.name = "contents", .settable = true},
                           {.name = "regTime", .settable = true},
                           {.name = "billingDate", .settable = true}}};
const RecordKind kSurvey{"surveys",
                         {{.name = "siteId"},
                          {.name = "personId"},
                          {.name = "issueId"},
                          {.name = "templateId", .settable = true},
                          {.name = "templateVersion", .settable = true},
                          {.name = "id"},
                          {.name = "name", .settable = true},
                          {.name = "order", .settable = true, .number = true},
                          {.name = "state", .settable = true},
                          {.name = "extra", .settable = true},
                          {.name = "template", .settable = true},
                          {.name = "values", .settable = true}}};

const std::vector<const RecordKind*>& All() {
  static const std::vector<const RecordKind*> all{
      &kUser, &kUserCard, &kSession, &kSite,     &kPerson,  &kConsent, &kIssue,
      &kFile, &kFileLog,  &kPortal,  &kEnterLog, &kMessage, &kBilling, &kSurvey,
  };
  return all;
}

}  // namespace velto::server::kinds
