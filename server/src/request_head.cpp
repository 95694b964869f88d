#include "request_head.h"

#include <algorithm>
#include <vector>

#include "ascii_text.h"

namespace velto::server {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsTokenChar(char c) {
  static constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         kMarks.find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The lines of the head without their CR LF; the empty line that ends it is left out.
std::vector<std::string_view> LinesOf(std::string_view head) {
  std::vector<std::string_view> lines;
  while (!head.empty()) {
    const size_t end = head.find(kLineEnd);
    if (end == std::string_view::npos || end == 0) break;
    lines.push_back(head.substr(0, end));
    head.remove_prefix(end + kLineEnd.size());
  }
  return lines;
}

// An absolute-form target ("http://host/path?query") is served as its path.
std::string_view OriginForm(std::string_view target) {
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (!StartsWithIgnoringCase(target, scheme)) continue;
    const std::string_view rest = target.substr(scheme.size());
    const size_t path = rest.find_first_of("/?");
    return path == std::string_view::npos ? std::string_view() : rest.substr(path);
  }
  return target;
}

struct RequestLine {
  std::string_view method;
  std::string_view target;
  std::string_view version;
};

std::optional<RequestLine> ParseRequestLine(std::string_view line) {
  const size_t first = line.find(' ');
  const size_t last = line.rfind(' ');
  if (first == std::string_view::npos || first == last) return std::nullopt;
  RequestLine parsed{line.substr(0, first), line.substr(first + 1, last - first - 1),
                     line.substr(last + 1)};
  const bool visible_target =
      !parsed.target.empty() && std::all_of(parsed.target.begin(), parsed.target.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && c != 0x7f;
      });
  if (!IsToken(parsed.method) || !visible_target ||
      (parsed.version != "HTTP/1.0" && parsed.version != "HTTP/1.1")) {
    return std::nullopt;
  }
  return parsed;
}

bool HasControlBreak(std::string_view line) {
  return line.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> CheckedHead(std::string_view head) {
  const std::vector<std::string_view> lines = LinesOf(head);
  if (lines.empty() || HasControlBreak(lines.front())) return std::nullopt;
  const std::optional<RequestLine> request = ParseRequestLine(lines.front());
  if (!request) return std::nullopt;
  std::string_view target = OriginForm(request->target);
  std::string checked;
  checked.reserve(head.size() + std::string_view(kRangeHeader).size());
  checked.append(request->method).append(" ");
  checked.append(target.empty() ? "/" : "").append(target).append(" ");
  checked.append(request->version).append(kLineEnd);
  int hosts = 0;
  for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
    const size_t colon = line->find(':');
    if (colon == std::string_view::npos || HasControlBreak(*line) ||
        !IsToken(line->substr(0, colon))) {
      return std::nullopt;
    }
    const std::string_view name = line->substr(0, colon);
    if (EqualsIgnoringCase(name, "Host")) ++hosts;
    if (EqualsIgnoringCase(name, kRangeHeader)) continue;  // only ever set here
    if (EqualsIgnoringCase(name, "Range")) {
      checked.append(kRangeHeader).append(line->substr(colon));
    } else {
      checked.append(*line);
    }
    checked.append(kLineEnd);
  }
  if (hosts > 1 || (hosts == 0 && request->version == "HTTP/1.1")) return std::nullopt;
  return checked.append(kLineEnd);
}

}  // namespace velto::server
