#pragma once

#include <cstdint>
#include <string>

namespace velto::bench {

// One transfer through the library, run in the child process whose memory is measured.
// Upload posts `file` as the multipart part "file" to root + path; download saves
// root + path into `file`. Afterwards the process's own peak memory in KiB is written to
// `report`. Returns the process exit status.
int UploadThroughLibrary(const std::string& root, const std::string& path, const std::string& file,
                         const std::string& report);
int DownloadThroughLibrary(const std::string& root, const std::string& path,
                           const std::string& file, const std::string& report);

}  // namespace velto::bench
