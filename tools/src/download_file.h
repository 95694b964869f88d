#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "file_stream.h"

namespace velto::cli {

// The file a download goes into. The bytes go into a new file beside it, which takes the
// file's name only when the download succeeded: a failed download leaves no partial file
// behind and a file of that name as it was.
class DownloadFile {
 public:
  // Throws std::runtime_error when the file beside it cannot be made.
  explicit DownloadFile(const std::string& name);
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;
  ~DownloadFile();

  IStream* Stream() { return stream_->Get(); }
  // Puts the downloaded bytes in place; throws std::runtime_error when that fails.
  void Keep();

 private:
  std::filesystem::path target_;
  std::filesystem::path partial_;
  std::unique_ptr<FileStream> stream_;
};

}  // namespace velto::cli
