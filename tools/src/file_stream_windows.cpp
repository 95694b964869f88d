#include <windows.h>
// after windows.h
#include <shlwapi.h>

#include <stdexcept>
#include <string>

#include "file_stream.h"
#include "utf8_path.h"

namespace velto::cli {

struct FileStream::Parts {
  IStream* stream = nullptr;
};

FileStream::FileStream(const std::filesystem::path& path) : parts_(std::make_unique<Parts>()) {
  if (FAILED(SHCreateStreamOnFileEx(path.c_str(), STGM_WRITE | STGM_SHARE_DENY_WRITE | STGM_CREATE,
                                    FILE_ATTRIBUTE_NORMAL, TRUE, nullptr, &parts_->stream))) {
    throw std::runtime_error(std::string("cannot create ").append(Utf8FromPath(path)));
  }
}

FileStream::~FileStream() {
  Close();
}

IStream* FileStream::Get() {
  return parts_->stream;
}

// The system's stream writes through at once: what it accepted is in the file.
bool FileStream::Close() {
  if (parts_->stream != nullptr) parts_->stream->Release();
  parts_->stream = nullptr;
  return true;
}

void MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    throw std::runtime_error(std::string("cannot write ").append(Utf8FromPath(to)));
  }
}

}  // namespace velto::cli
