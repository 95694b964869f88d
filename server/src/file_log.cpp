#include "file_log.h"

#include "kinds.h"
#include "time_text.h"

namespace velto::server {

void LogFileUse(Services& services, const Fields& file, const char* action) {
  RecordTable(services.db, kinds::kFileLog)
      .Insert({{"siteId", file.at("siteId")},
               {"personId", file.at("personId")},
               {"issueId", file.at("issueId")},
               {"fileId", file.at("id")},
               {"fileName", file.at("fileName")},
               {"action", action},
               {"logTime", NowText()}});
}

}  // namespace velto::server
