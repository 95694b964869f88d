#pragma once

#include <filesystem>
#include <memory>

#include "velto_box.h"

namespace velto::cli {

// A new file as a COM stream, the target the library writes a download into: on Windows the
// system's file stream, on Linux the COM layout of velto_box.h over the file.
class FileStream {
 public:
  // Creates the file; throws std::runtime_error when it cannot.
  explicit FileStream(const std::filesystem::path& path);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream();

  IStream* Get();
  // Closes the file; false when not everything written reached it.
  bool Close();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Puts the file `from` at `to`, replacing a file there; throws std::runtime_error.
void MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace velto::cli
