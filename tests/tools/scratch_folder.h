#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace velto::test {

// A new folder of its own under the temporary folder, removed with what it holds.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              std::string("velto-cli-").append(std::to_string(std::random_device()()))) {
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
