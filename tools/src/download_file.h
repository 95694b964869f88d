#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "download_target.h"
#include "file_stream.h"
#include "interrupt_cleanup.h"

namespace velto::cli {

// The file a download goes into (-o). A file, or a name not yet taken, gets the bytes in a
// new file beside it, which takes its place only when the download succeeded: a failed or
// interrupted download leaves no partial file behind and the file as it was. A link to a
// file stays a link: the file it points to is replaced, keeping its permissions. A FIFO or a
// device is written into; "-" is standard output.
class DownloadFile {
 public:
  // Throws std::runtime_error when the file cannot be opened or made.
  explicit DownloadFile(const std::string& name);
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;
  ~DownloadFile();

  IStream* Stream() { return stream_->Get(); }
  // Puts the downloaded bytes in place; throws std::runtime_error when that fails.
  void Keep();
  // Throws std::runtime_error when a write into the file failed (a full disk, a closed pipe).
  void ThrowIfWriteFailed() const;

 private:
  DownloadFile(const std::filesystem::path& target, DownloadWay way);

  std::string Name() const;

  std::filesystem::path target_;
  std::filesystem::path partial_;  // empty when written directly
  // Before the stream: an interrupt that comes while the partial file is being made must
  // find its name already, and one that comes at the end must find it still.
  std::optional<InterruptCleanup> cleanup_;
  std::unique_ptr<FileStream> stream_;
};

}  // namespace velto::cli
