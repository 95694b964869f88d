#include "printable_text.h"

#include <array>
#include <cstdio>

namespace velto::cli {

bool IsC1Control(std::string_view text, size_t at) {
  return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
         static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

namespace {

void AppendEscaped(std::string& printable, const char* format, unsigned value) {
  std::array<char, 7> escaped{};
  std::snprintf(escaped.data(), escaped.size(), format, value);
  printable += escaped.data();
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (IsC1Control(text, at)) {
      ++at;  // the second byte names the control
      AppendEscaped(printable, "\\u%04x", static_cast<unsigned char>(text[at]));
    } else if ((byte >= 0x20 && byte != 0x7F) || c == '\n' || c == '\t') {
      printable += c;
    } else {
      AppendEscaped(printable, "\\x%02x", byte);
    }
  }
  return printable;
}

}  // namespace velto::cli
