#include <algorithm>
#include <cctype>
#include <optional>

#include "velto/test_peer.h"

namespace velto::test {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view HeadOf(std::string_view bytes) {
  return bytes.substr(0, bytes.find("\r\n\r\n"));
}

std::optional<std::string_view> FindHeader(std::string_view bytes, std::string_view name) {
  std::string_view head = HeadOf(bytes);
  head.remove_prefix(std::min(head.size(), head.find("\r\n")));
  while (!head.empty()) {
    head.remove_prefix(2);  // the line break before the line
    const std::string_view line = head.substr(0, head.find("\r\n"));
    head.remove_prefix(line.size());
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos && SameLetters(line.substr(0, colon), name)) {
      return Trim(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

// Word `n` (0-based) of the request line.
std::string Word(std::string_view line, int n) {
  for (int i = 0; i < n; ++i) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return {};
    line.remove_prefix(space + 1);
  }
  return std::string(line.substr(0, line.find(' ')));
}

}  // namespace

std::string PeerRequest::RequestLine() const {
  return bytes.substr(0, bytes.find("\r\n"));
}
std::string PeerRequest::Method() const {
  return Word(RequestLine(), 0);
}
std::string PeerRequest::Target() const {
  return Word(RequestLine(), 1);
}
std::string PeerRequest::Version() const {
  return Word(RequestLine(), 2);
}

std::string PeerRequest::Header(std::string_view name) const {
  const auto value = FindHeader(bytes, name);
  return value ? std::string(*value) : std::string();
}

bool PeerRequest::HasHeader(std::string_view name) const {
  return FindHeader(bytes, name).has_value();
}

std::string PeerRequest::Body() const {
  const size_t end = bytes.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : bytes.substr(end + 4);
}

}  // namespace velto::test
