#include <fstream>
#include <iterator>
#include <sstream>

#include "velto/ascii_case.h"
#include "velto/mime_types_table.h"

namespace velto {

MimeTypesTable::MimeTypesTable(std::string_view text) {
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string type;
    if (!(words >> type)) continue;
    for (std::string extension; words >> extension;) {
      types_.emplace(AsciiLowerCase(extension), type);
    }
  }
}

MimeTypesTable MimeTypesTable::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return MimeTypesTable(std::string(std::istreambuf_iterator<char>(file), {}));
}

std::string MimeTypesTable::Find(std::string_view extension) const {
  const auto found = types_.find(AsciiLowerCase(extension));
  return found == types_.end() ? std::string() : found->second;
}

}  // namespace velto
