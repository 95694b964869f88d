#include "read_log.h"

#include <iostream>

#include "kinds.h"
#include "time_text.h"

namespace velto::server {
namespace {

void Append(Services& services, const Call& call, const RecordKind& kind, const Fields& entry) {
  if (call.head) return;
  try {
    RecordTable(services.db, kind).Insert(entry);
  } catch (const std::exception& error) {
    std::cerr << "velto-server: cannot log a read in " << kind.table << ": " << error.what()
              << std::endl;
  }
}

}  // namespace

void LogFileUse(Services& services, const Call& call, const Fields& file, const char* action) {
  Append(services, call, kinds::kFileLog,
         {{"siteId", file.at("siteId")},
          {"personId", file.at("personId")},
          {"issueId", file.at("issueId")},
          {"fileId", file.at("id")},
          {"fileName", file.at("fileName")},
          {"action", action},
          {"logTime", NowText()}});
}

void LogVisit(Services& services, const Call& call, const Fields& portal) {
  Append(services, call, kinds::kEnterLog,
         {{"siteId", portal.at("siteId")},
          {"personId", portal.at("personId")},
          {"portalId", portal.at("id")},
          {"portalName", portal.at("name")},
          {"enterTime", NowText()}});
}

}  // namespace velto::server
