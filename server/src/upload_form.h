#pragma once

#include <httplib.h>

#include "file_store.h"
#include "record_table.h"

namespace velto::server {

// What an upload form carried besides the file bytes.
struct UploadForm {
  Fields text;            // the decoded text parts by name
  bool has_file = false;  // a part named "file" was sent
  std::string file_name;  // the filename of that part
};

// Reads a multipart/form-data body, writing the part named "file" into `sink` as it arrives,
// so that no file is ever held in memory. A body that is not such a form is a bad request.
UploadForm ReadUploadForm(const httplib::Request& request, const httplib::ContentReader& reader,
                          FileStore::Upload& sink);

}  // namespace velto::server
