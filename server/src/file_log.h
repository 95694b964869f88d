#pragma once

#include "services.h"

namespace velto::server {

inline constexpr const char* kReadAction = "read";
inline constexpr const char* kDownloadAction = "download";

// Records a use of a file for the file log. The caller holds the database lock.
void LogFileUse(Services& services, const Fields& file, const char* action);

}  // namespace velto::server
