#include "printable_text.h"

#include <array>
#include <cstdio>

namespace velto::cli {

std::string PrintableText(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x20 && byte != 0x7F) || c == '\n' || c == '\t') {
      printable += c;
      continue;
    }
    std::array<char, 5> escaped{};
    std::snprintf(escaped.data(), escaped.size(), "\\x%02x", byte);
    printable += escaped.data();
  }
  return printable;
}

}  // namespace velto::cli
