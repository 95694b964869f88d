#include "velto/mime_types_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scratch_path.h"

namespace velto {
namespace {

namespace fs = std::filesystem;

TEST(MimeTypesTable, ReadsTypesAndTheirExtensions) {
  const MimeTypesTable table(
      "# comment png\n"
      "\n"
      "image/png\t\t\t\tpng\n"
      "text/html  html htm # shtml\n"
      "application/vnd.eln+zip\tELN\r\n"
      "text/x-no-extensions\n"
      "image/x-second-png png\n"
      "  application/x-indented   ind   \n"
      "text/x-last last");
  const std::pair<const char*, const char*> cases[] = {
      {"png", "image/png"},  // the first line naming it wins
      {"PNG", "image/png"},
      {"html", "text/html"},
      {"htm", "text/html"},
      {"shtml", ""},
      {"eln", "application/vnd.eln+zip"},
      {"ind", "application/x-indented"},
      {"last", "text/x-last"},
      {"text/x-no-extensions", ""},
      {"comment", ""},
      {"", ""},
  };
  for (const auto& [extension, type] : cases) {
    EXPECT_EQ(table.Find(extension), type) << extension;
  }
}

TEST(MimeTypesTable, LoadsAFileAndTakesAMissingOneAsEmpty) {
  const fs::path path = test::ScratchPath("mime", ".types");
  std::ofstream(path) << "application/x-velto vlt\n";
  EXPECT_EQ(MimeTypesTable::Load(path.string()).Find("vlt"), "application/x-velto");
  fs::remove(path);
  EXPECT_EQ(MimeTypesTable::Load(path.string()).Find("vlt"), "");
}

}  // namespace
}  // namespace velto
