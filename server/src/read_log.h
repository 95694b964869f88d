#pragma once

#include "router.h"
#include "services.h"

namespace velto::server {

inline constexpr const char* kReadAction = "read";
inline constexpr const char* kDownloadAction = "download";

// The logs of reads: uses of files and visits of portal pages. A HEAD request logs nothing,
// as it changes nothing, and an entry that cannot be written (a full disk) is reported on
// standard error instead of failing the read. The caller holds the database lock.
void LogFileUse(Services& services, const Call& call, const Fields& file, const char* action);
void LogVisit(Services& services, const Call& call, const Fields& portal);

}  // namespace velto::server
