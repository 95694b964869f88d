#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velto::cli {

// File names travel as UTF-8 inside velto; on Windows the system takes them as UTF-16.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace velto::cli
