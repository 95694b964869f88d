#pragma once

#include <vector>

#include "record_table.h"

namespace velto::server {

// Every kind of record the server keeps, with the member names of the wire.
namespace kinds {
extern const RecordKind kUser;
extern const RecordKind kUserCard;
extern const RecordKind kSession;
extern const RecordKind kSite;
extern const RecordKind kPerson;
extern const RecordKind kConsent;
extern const RecordKind kIssue;
extern const RecordKind kFile;
extern const RecordKind kFileLog;
extern const RecordKind kPortal;
extern const RecordKind kEnterLog;
extern const RecordKind kMessage;
extern const RecordKind kBilling;
extern const RecordKind kSurvey;

const std::vector<const RecordKind*>& All();
}  // namespace kinds

}  // namespace velto::server
