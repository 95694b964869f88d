#pragma once

#include <filesystem>
#include <memory>

#include "velto_box.h"

namespace velto::cli {

// How a FileStream opens its file.
enum class FileOpening {
  CreateNew,       // a file that must not exist yet
  Existing,        // what is there (a FIFO, a device), written into as it is
  StandardOutput,  // velto's standard output; the path is not used
};

// A file as a COM stream, the target the library writes a download into: the COM layout of
// velto_box.h (on Windows the system's IStream) over the file.
class FileStream {
 public:
  // Opens the file; throws std::runtime_error when it cannot.
  FileStream(const std::filesystem::path& path, FileOpening opening);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream();

  IStream* Get();
  // Closes the file; false when not everything written reached it.
  bool Close();
  // Whether a write so far failed.
  bool WriteFailed() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Puts the file `from` at `to`, replacing a file there; throws std::runtime_error.
void MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace velto::cli
