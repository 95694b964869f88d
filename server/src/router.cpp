#include "router.h"

#include <algorithm>
#include <iostream>

#include "ascii_text.h"
#include "database.h"
#include "http_listener.h"
#include "ids.h"
#include "request_log.h"
#include "utf8.h"

namespace velto::server {
namespace {

// Bodies other than uploads are records; nothing legitimate comes near this.
constexpr size_t kMaxJsonBody = 16 * 1024 * 1024;
constexpr const char* kJsonType = "application/json; charset=utf-8";

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

// The target's path segments, decoded once before any route is tried.
std::vector<std::string> DecodedSegments(const std::string& target) {
  std::vector<std::string> segments = Split(TargetPath(target));
  for (std::string& segment : segments) segment = httplib::detail::decode_url(segment, false);
  return segments;
}

int HttpStatusOf(ReplyCode code) {
  switch (code) {
    case ReplyCode::kNotFound:
      return 404;
    case ReplyCode::kKeyMissing:
    case ReplyCode::kKeyRejected:
    case ReplyCode::kLogInRefused:
      return 401;
    case ReplyCode::kNotAllowed:
      return 403;
    case ReplyCode::kTooManyTries:
      return 429;
    case ReplyCode::kServerFault:
      return 500;
    default:
      return 400;
  }
}

void SetEnvelope(httplib::Response& response, std::string envelope) {
  response.headers.erase("Content-Type");
  response.set_header("Content-Type", kJsonType);
  response.body = std::move(envelope);
}

void Fail(Call& call, const RouteOptions& options, ReplyCode code, const std::string& message) {
  call.response.status = options.raw_reply ? HttpStatusOf(code) : 200;
  SetEnvelope(call.response, Envelope(code, message));
}

// Path values are ids: text, and never longer than an id may be.
void RequireUsableArgs(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (!IsUtf8(arg)) {
      throw ReplyError(ReplyCode::kBadRequest, "Bad request: a path value that is not UTF-8");
    }
    RequireAddressable(arg);
  }
}

}  // namespace

void Reply(Call& call, const ValueWriter& value) {
  call.response.status = 200;
  SetEnvelope(call.response, Envelope(ReplyCode::kOk, "OK", value));
}

bool Caller::WorksAt(const std::string& site_id) const {
  return admin || std::find(sites.begin(), sites.end(), site_id) != sites.end();
}

void RequireSelfOrAdmin(const Call& call, const std::string& user_id) {
  if (!call.caller.admin && call.caller.user_id != user_id) {
    throw ReplyError(ReplyCode::kNotAllowed,
                     "Not allowed: a user works only with its own user record and cards");
  }
}

void Router::Add(const std::string& verb, const std::string& pattern, RouteHandler handler,
                 RouteOptions options) {
  routes_.push_back({verb, pattern, Split(pattern), std::move(handler), options});
}

const Router::Route* Router::Match(const std::string& verb,
                                   const std::vector<std::string>& segments,
                                   std::vector<std::string>& args) const {
  for (const Route& route : routes_) {
    if (route.verb != verb || route.segments.size() != segments.size()) continue;
    std::vector<std::string> values;
    bool matches = true;
    for (size_t i = 0; i < segments.size() && matches; ++i) {
      if (route.segments[i] == "{}") {
        values.push_back(segments[i]);
      } else {
        matches = route.segments[i] == segments[i];
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
  // Every path reaches Dispatch, which answers what matches no route; "." alone would miss a
  // path whose decoded values hold CR or LF, and those must get the refusal of a bad id.
  const std::string any_path = R"([\s\S]*)";
  server.Get(any_path, plain);
  server.Delete(any_path, with_reader);
  server.Put(any_path, with_reader);
  server.Post(any_path, with_reader);
}

void Router::Dispatch(const httplib::Request& request, httplib::Response& response,
                      const httplib::ContentReader* reader) {
  const std::string verb = request.method == "HEAD" ? "GET" : request.method;
  RequestBody body(request, reader);
  std::vector<std::string> args;
  const Route* route = Match(verb, DecodedSegments(request.target), args);
  const std::string coding = request.get_header_value("Content-Encoding");
  if (!coding.empty() && !EqualsIgnoringCase(coding, "identity")) {
    // Decoded bytes could outgrow every limit; the library never compresses what it sends.
    response.status = 415;
    response.set_content("Unsupported Content-Encoding\n", "text/plain; charset=utf-8");
  } else if (route == nullptr) {
    response.status = 404;
    response.set_content("Not found\n", "text/plain; charset=utf-8");
  } else {
    Call call{request, response, std::move(args), body, {}, {}, {}, request.method == "HEAD"};
    try {
      Run(*route, call);
    } catch (const ReplyError& error) {
      Fail(call, route->options, error.code(), error.what());
    } catch (const StorageFull& error) {
      std::cerr << "velto-server: " << request.method << " " << LoggedTarget(request.target) << ": "
                << error.what() << std::endl;
      Fail(call, route->options, ReplyCode::kServerFault, "Server fault: the disk is full");
    } catch (const std::exception& error) {
      std::cerr << "velto-server: " << request.method << " " << LoggedTarget(request.target) << ": "
                << error.what() << std::endl;
      Fail(call, route->options, ReplyCode::kServerFault, "Server fault");
    }
  }
  // What is left of an unread body must not be taken for the next request.
  if (!body.consumed()) {
    response.set_header("Connection", "close");
    CloseConnectionAfterReply();
  }
}

void Router::Run(const Route& route, Call& call) {
  call.key = call.request.get_header_value("key-id");
  if (route.options.needs_key) {
    if (call.key.empty()) throw ReplyError(ReplyCode::kKeyMissing, "Key missing");
    const std::optional<Caller> caller = key_check_(call.key, !call.head);
    if (!caller) throw ReplyError(ReplyCode::kKeyRejected, "Key rejected");
    call.caller = *caller;
    if (route.options.admin_only && !caller->admin) {
      throw ReplyError(ReplyCode::kNotAllowed,
                       "Not allowed: only an administrator creates, changes and deletes users, "
                       "cards and sites");
    }
  }
  RequireUsableArgs(call.args);
  // Decided before the body is read: a refused upload costs its sender nothing to store.
  if (route.options.needs_key) site_check_(call.caller, route.pattern, call.args);
  if (!route.options.streams_body) call.body = call.body_reader.ReadText(kMaxJsonBody);
  route.handler(call);
}

}  // namespace velto::server
