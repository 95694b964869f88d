#include "request_log.h"

#include <cstdio>
#include <string_view>

namespace velto::server {
namespace {

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
      out += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      out += escaped;
    }
  }
}

// The "code" of an envelope reply, which the envelope writer always puts first.
std::string_view EnvelopeCode(const httplib::Response& response) {
  constexpr std::string_view kStart = "{\"code\":\"";
  const std::string_view body = response.body;
  if (!body.starts_with(kStart) || body.size() < kStart.size() + 4 ||
      body[kStart.size() + 3] != '"') {
    return {};
  }
  return body.substr(kStart.size(), 3);
}

}  // namespace

std::string LoggedTarget(const std::string& target) {
  const size_t query = target.find('?');
  std::string out;
  AppendEscaped(out, std::string_view(target).substr(0, query));
  if (query == std::string::npos) return out;
  out += '?';
  std::string_view rest = std::string_view(target).substr(query + 1);
  while (true) {
    const size_t end = rest.find('&');
    const std::string_view pair = rest.substr(0, end);
    AppendEscaped(out, pair.substr(0, pair.find('=')));
    out += '=';
    if (end == std::string_view::npos) break;
    out += '&';
    rest.remove_prefix(end + 1);
  }
  return out;
}

std::string RequestLogLine(const httplib::Request& request, const httplib::Response& response,
                           std::chrono::steady_clock::duration taken) {
  std::string line;
  AppendEscaped(line, request.method);
  line += ' ' + LoggedTarget(request.target) + ' ' + std::to_string(response.status);
  if (const std::string_view code = EnvelopeCode(response); !code.empty()) {
    line += ' ';
    line += code;
  }
  char time[32];
  std::snprintf(time, sizeof time, " %.1f ms",
                std::chrono::duration<double, std::milli>(taken).count());
  return line + time;
}

}  // namespace velto::server
