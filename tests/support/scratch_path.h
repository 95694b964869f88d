#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velto::test {

// A path under the temporary folder that no other test case, test program or checkout on
// this machine uses at the same time: "velto-<what>-<case>-<process>-<random><extension>".
// Nothing is created.
inline std::filesystem::path ScratchPath(std::string_view what, std::string_view extension = "") {
  std::string name = "velto-" + std::string(what) + "-";
  if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    for (const char c : std::string_view(test->name()).substr(0, 60)) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
      name += plain ? c : '-';  // a parameterised case's "/" must not make a folder
    }
    name += '-';
  }
#ifdef _WIN32
  name += std::to_string(_getpid());
#else
  name += std::to_string(getpid());
#endif
  name += '-' + std::to_string(std::random_device()());
  name += extension;
  return std::filesystem::temp_directory_path() / name;
}

}  // namespace velto::test
