#pragma once

namespace velto::cli {

// What velto's exit status tells a script; --help documents the same list.
enum ExitCode : int {
  kSuccess = 0,     // the export succeeded
  kFailed = 1,      // it returned a FAIL envelope
  kUsageError = 2,  // bad arguments, or a local file (or standard output) that cannot be
                    // read or written
  kLeftExport = 3,  // it failed without a result (VeltoLastError)
};

}  // namespace velto::cli
