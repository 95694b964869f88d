// libvelto-box.so exports exactly the names of the tables of exports, and nothing else.
#include "velto/export_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace velto::test {
namespace {

// The defined dynamic symbols of the library, as nm lists them.
std::set<std::string> DynamicSymbols() {
  const std::string command = std::string(VELTO_NM) + " -D --defined-only " VELTO_BOX_LIBRARY;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::set<std::string> names;
  if (!pipe) return names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (fields >> address >> type >> name) names.insert(name);
  }
  return names;
}

TEST(ExportTable, TheLibraryExportsEveryNameOfTheTablesAndNothingElse) {
  std::set<std::string> expected;
  for (const std::string_view name : ExportNames()) expected.insert(std::string(name));
  EXPECT_EQ(DynamicSymbols(), expected);
}

}  // namespace
}  // namespace velto::test
