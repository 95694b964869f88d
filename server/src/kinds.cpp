#include "kinds.h"

namespace velto::server::kinds {

const RecordKind kUser{
    "users",
    {{"id"}, {"passwordHash", false, true}, {"name"}, {"roles"}},
};
const RecordKind kUserCard{"user_cards", {{"id"}, {"userId"}, {"number", false, true}}};
const RecordKind kSession{
    "sessions",
    {{"id"}, {"userId"}, {"gate", false, true}, {"lastSeen", false, true}},
};
const RecordKind kSite{"sites", {{"id"}, {"name"}, {"fileId"}}};
const RecordKind kPerson{
    "persons",
    {{"siteId"}, {"id"}, {"name"}, {"gender"}, {"birth"}, {"phone"}, {"consentTime"}},
};
const RecordKind kConsent{"consents", {{"siteId"}, {"personId"}, {"signature"}, {"regTime"}}};
const RecordKind kIssue{"issues", {{"siteId"}, {"personId"}, {"id"}, {"name"}, {"endTime"}}};
const RecordKind kFile{
    "files",
    {{"siteId"},
     {"personId"},
     {"issueId"},
     {"id"},
     {"path"},
     {"hlscName"},
     {"hlscDate"},
     {"fileName"},
     {"fileSize", true},
     {"endTime"}},
};
const RecordKind kFileLog{
    "file_log",
    {{"siteId"}, {"personId"}, {"issueId"}, {"fileId"}, {"fileName"}, {"action"}, {"logTime"}},
};
const RecordKind kPortal{"portals", {{"siteId"}, {"personId"}, {"id"}, {"name"}, {"endTime"}}};
const RecordKind kEnterLog{
    "enter_log",
    {{"siteId"}, {"personId"}, {"portalId"}, {"portalName"}, {"enterTime"}},
};
const RecordKind kMessage{
    "messages",
    {{"siteId"},
     {"personId"},
     {"cmid"},
     {"msgType"},
     {"requestTime"},
     {"sendTime"},
     {"destPhone"},
     {"sendPhone"},
     {"msgBody"},
     {"templateCode"},
     {"senderKey"},
     {"nationCode"},
     {"reType"},
     {"reBody"}},
};
const RecordKind kBilling{
    "billing",
    {{"classCd"},
     {"siteId"},
     {"personId"},
     {"id"},
     {"name"},
     {"contents"},
     {"regTime"},
     {"billingDate"}},
};
const RecordKind kSurvey{
    "surveys",
    {{"siteId"},
     {"personId"},
     {"issueId"},
     {"templateId"},
     {"templateVersion"},
     {"id"},
     {"name"},
     {"order", true},
     {"state"},
     {"extra"},
     {"template"},
     {"values"}},
};

const std::vector<const RecordKind*>& All() {
  static const std::vector<const RecordKind*> all{
      &kUser, &kUserCard, &kSession, &kSite,     &kPerson,  &kConsent, &kIssue,
      &kFile, &kFileLog,  &kPortal,  &kEnterLog, &kMessage, &kBilling, &kSurvey,
  };
  return all;
}

}  // namespace velto::server::kinds
