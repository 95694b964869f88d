#pragma once

#include <string>

#include "velto/export_call.h"

namespace velto::cli {

// The library this program is linked against, reached by export name as a host that finds
// its exports at run time reaches it.
class LibraryExports {
 public:
  // Also makes failures that leave an export come back as a plain return: on Windows the
  // library raises them as a continuable exception, which this program continues past
  // while the object lives.
  LibraryExports();
  LibraryExports(const LibraryExports&) = delete;
  LibraryExports& operator=(const LibraryExports&) = delete;
  ~LibraryExports();

  // The export's address; null when the library has no export of that name.
  ExportAddress Find(const std::string& name) const;

 private:
  void* module_ = nullptr;
  void* continuer_ = nullptr;
};

}  // namespace velto::cli
