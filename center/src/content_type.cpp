#include "velto/content_type.h"

#include <cctype>

namespace velto {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsCharsetName(std::string_view name) {
  constexpr std::string_view kName = "charset";
  if (name.size() != kName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != kName[i]) return false;
  }
  return true;
}

}  // namespace

std::string CharsetOf(std::string_view content_type) {
  size_t start = content_type.find(';');
  while (start != std::string_view::npos) {
    const size_t end = content_type.find(';', start + 1);
    const std::string_view parameter = content_type.substr(start + 1, end - start - 1);
    const size_t equals = parameter.find('=');
    if (equals != std::string_view::npos && IsCharsetName(Trim(parameter.substr(0, equals)))) {
      std::string_view value = Trim(parameter.substr(equals + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return std::string(value);
    }
    start = end;
  }
  return {};
}

}  // namespace velto
