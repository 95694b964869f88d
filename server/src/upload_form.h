#pragma once

#include <cstdint>

#include "file_store.h"
#include "record_table.h"
#include "request_body.h"

namespace velto::server {

// What an upload form carried besides the file bytes.
struct UploadForm {
  Fields text;            // the decoded text parts by name
  bool has_file = false;  // a part named "file" was sent
  std::string file_name;  // the filename of that part
};

// Reads a multipart/form-data body, writing the part named "file" into `sink` as it arrives,
// so that no file is ever held in memory. A bad request ("303"): a body that is not such a
// form or ends before its end, a second "file" part, a file of more than `max_file` bytes, too
// many or too long text parts, text that is not UTF-8.
UploadForm ReadUploadForm(RequestBody& body, FileStore::Upload& sink, std::uint64_t max_file);

}  // namespace velto::server
