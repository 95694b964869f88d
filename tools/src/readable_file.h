#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "utf8_path.h"

namespace velto::cli {

// A file the library will read itself: velto finds a missing one before anything is sent.
inline bool IsReadableFile(std::string_view name) {
  std::error_code unknown;
  const std::filesystem::path path = PathFromUtf8(name);
  return std::filesystem::is_regular_file(path, unknown) &&
         static_cast<bool>(std::ifstream(path, std::ios::binary));
}

}  // namespace velto::cli
