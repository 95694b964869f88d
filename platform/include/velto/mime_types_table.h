#pragma once

#ifndef _WIN32
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace velto {

// The table of a mime.types file: each line names a media type and then the extensions that
// go with it, separated by blanks; "#" starts a comment. The first line naming an extension
// wins; extensions match without regard to case.
class MimeTypesTable {
 public:
  explicit MimeTypesTable(std::string_view text);
  // A missing or unreadable file gives an empty table.
  static MimeTypesTable Load(const std::string& path);

  // The type for an extension, or empty text.
  std::string Find(std::string_view extension) const;

 private:
  std::map<std::string, std::string, std::less<>> types_;
};

}  // namespace velto
#endif
