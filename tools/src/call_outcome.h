#pragma once

#include <string>

#include "exit_code.h"
#include "export_catalog.h"

namespace velto::cli {

// How one export call ended, as velto saw it.
struct CallOutcome {
  bool left_export = false;  // failed without a result: `text` is VeltoLastError's message
  std::string text;          // otherwise what it returned (empty for a stream export)
};

// What velto prints for an outcome and the status it exits with.
struct Presentation {
  std::string out;
  std::string err;
  ExitCode status = kSuccess;
};

// A SUCCESS envelope prints its "data" (JSON indented, other text as it is but for control
// characters, nothing when absent or empty); a FAIL envelope, or a failure that left the
// export, prints its message on the error side. With `as_returned` an envelope prints as the
// library returned it. An envelope without "code" (VeltoPortalUrl for a person without a portal)
// prints as it is.
Presentation Present(const CallOutcome& outcome, ExportResult result, bool as_returned);

}  // namespace velto::cli
