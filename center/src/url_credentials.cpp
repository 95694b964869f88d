#include "velto/url_credentials.h"

#include <algorithm>

#include "velto/transport.h"

namespace velto {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSchemeCharacter(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The URL after its scheme and colon, when it starts with one.
std::string_view AfterScheme(std::string_view url) {
  if (url.empty() || !IsLetter(url.front())) return url;
  size_t end = 1;
  while (end < url.size() && IsSchemeCharacter(url[end])) ++end;
  return end < url.size() && url[end] == ':' ? url.substr(end + 1) : url;
}

std::string_view ServerPart(std::string_view url) {
  std::string_view rest = AfterScheme(url);
  rest.remove_prefix(std::min(rest.find_first_not_of("/\\"), rest.size()));
  return rest.substr(0, rest.find_first_of("/\\?#"));
}

}  // namespace

void RefuseCredentialsInUrl(std::string_view url) {
  if (ServerPart(url).find('@') == std::string_view::npos) return;
  throw TransportError(
      u"The server address holds a user name or password (\"name:password@\"), which is "
      u"never sent: take it out of the root URL");
}

}  // namespace velto
