#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

#include "scratch_path.h"

namespace velto::test {

// A new folder of its own under the temporary folder (ScratchPath), removed with what it
// holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view what = "scratch") : path_(ScratchPath(what)) {
    std::filesystem::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace velto::test
