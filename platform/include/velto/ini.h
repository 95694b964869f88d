#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// One value of an INI file, with the rules of the Windows profile functions: section and
// key names match without regard to case, spaces around the value are dropped, one pair
// of matching enclosing quotes is removed, at most 2047 characters are kept, and a missing
// file, section or key gives the empty text. A file name without a folder is looked for in
// the Windows directory on Windows and in the current directory elsewhere.
std::u16string ReadIniString(const std::u16string& file, std::u16string_view section,
                             std::u16string_view key);

// The names of the keys of one section, in the file's order, read by the same rules.
std::vector<std::u16string> ReadIniKeys(const std::u16string& file, std::u16string_view section);

}  // namespace velto
