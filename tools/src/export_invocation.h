#pragma once

#include <string>
#include <vector>

#include "call_outcome.h"
#include "export_catalog.h"
#include "library_exports.h"

namespace velto::cli {

// Calls the export by its address with one argument per parameter, in order: texts, and for
// a stream export the name of the file its bytes go into (put in place only when it
// succeeds). Throws std::runtime_error for what stops the call before it is made (an export
// the library lacks, a file that cannot be made); the caller has checked the count.
CallOutcome CallExport(const LibraryExports& library, const CallableExport& callable,
                       const std::vector<std::string>& arguments);

}  // namespace velto::cli
