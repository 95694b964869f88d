#include "router.h"

#include <iostream>

namespace velto::server {
namespace {

// Bodies other than uploads are records; nothing legitimate comes near this.
constexpr size_t kMaxJsonBody = 16 * 1024 * 1024;

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> segments;
  size_t start = 1;  // paths begin with "/"
  while (true) {
    const size_t end = path.find('/', start);
    segments.push_back(path.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return segments;
}

std::string TargetPath(const std::string& target) {
  const std::string path = target.substr(0, target.find('?'));
  return path.empty() || path.front() != '/' ? "/" + path : path;
}

int HttpStatusOf(ReplyCode code) {
  switch (code) {
    case ReplyCode::kNotFound:
      return 404;
    case ReplyCode::kKeyMissing:
    case ReplyCode::kKeyRejected:
    case ReplyCode::kLogInRefused:
      return 401;
    case ReplyCode::kServerFault:
      return 500;
    default:
      return 400;
  }
}

void Fail(Call& call, const RouteOptions& options, ReplyCode code, const std::string& message) {
  call.response.status = options.raw_reply ? HttpStatusOf(code) : 200;
  call.response.set_content(Envelope(code, message), "application/json; charset=utf-8");
}

// Reads a body nobody needs; a form must be read as a form.
void Drain(const httplib::Request& request, const httplib::ContentReader& reader) {
  const auto ignore = [](const char*, size_t) { return true; };
  if (request.is_multipart_form_data()) {
    reader([](const httplib::MultipartFormData&) { return true; }, ignore);
  } else {
    reader(ignore);
  }
}

}  // namespace

void Reply(Call& call, const ValueWriter& value) {
  call.response.status = 200;
  call.response.set_content(Envelope(ReplyCode::kOk, "OK", value),
                            "application/json; charset=utf-8");
}

void Router::Add(const std::string& verb, const std::string& pattern, RouteHandler handler,
                 RouteOptions options) {
  routes_.push_back({verb, Split(pattern), std::move(handler), options});
}

const Router::Route* Router::Match(const std::string& verb,
                                   const std::vector<std::string>& segments,
                                   std::vector<std::string>& args) const {
  for (const Route& route : routes_) {
    if (route.verb != verb || route.segments.size() != segments.size()) continue;
    std::vector<std::string> values;
    bool matches = true;
    for (size_t i = 0; i < segments.size() && matches; ++i) {
      const std::string value = httplib::detail::decode_url(segments[i], false);
      if (route.segments[i] == "{}") {
        values.push_back(value);
      } else {
        matches = route.segments[i] == value;
      }
    }
    if (matches) {
      args = std::move(values);
      return &route;
    }
  }
  return nullptr;
}

void Router::Install(httplib::Server& server) {
  const auto plain = [this](const httplib::Request& request, httplib::Response& response) {
    Dispatch(request, response, nullptr);
  };
  const auto with_reader = [this](const httplib::Request& request, httplib::Response& response,
                                  const httplib::ContentReader& reader) {
    Dispatch(request, response, &reader);
  };
  server.Get(".*", plain);
  server.Delete(".*", plain);
  server.Put(".*", with_reader);
  server.Post(".*", with_reader);
}

void Router::Dispatch(const httplib::Request& request, httplib::Response& response,
                      const httplib::ContentReader* reader) {
  const std::string verb = request.method == "HEAD" ? "GET" : request.method;
  std::vector<std::string> args;
  const Route* route = Match(verb, Split(TargetPath(request.target)), args);
  if (route == nullptr) {
    response.status = 404;
    response.set_content("Not found\n", "text/plain; charset=utf-8");
    return;
  }
  Call call{request, response, std::move(args), request.body, reader, {}};
  try {
    Run(*route, call);
  } catch (const ReplyError& error) {
    Fail(call, route->options, error.code(), error.what());
  } catch (const std::exception& error) {
    std::cerr << "velto-server: " << request.method << " " << request.target << ": " << error.what()
              << std::endl;
    Fail(call, route->options, ReplyCode::kServerFault, "Server fault");
  }
}

void Router::Run(const Route& route, Call& call) {
  call.key = call.request.get_header_value("key-id");
  if (route.options.needs_key && (call.key.empty() || !key_check_(call.key))) {
    // A refused request's body is still read, so that the client gets to see the reply.
    if (call.reader != nullptr) Drain(call.request, *call.reader);
    if (call.key.empty()) throw ReplyError(ReplyCode::kKeyMissing, "Key missing");
    throw ReplyError(ReplyCode::kKeyRejected, "Key rejected");
  }
  if (call.reader != nullptr && !route.options.streams_body) {
    bool too_long = false;
    (*call.reader)([&call, &too_long](const char* data, size_t size) {
      too_long = too_long || call.body.size() + size > kMaxJsonBody;
      if (!too_long) call.body.append(data, size);
      return true;
    });
    call.reader = nullptr;
    if (too_long) throw ReplyError(ReplyCode::kBadRequest, "Bad request: the body is too long");
  }
  route.handler(call);
}

}  // namespace velto::server
