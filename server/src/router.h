#pragma once

#include <httplib.h>

#include <functional>
#include <string>
#include <vector>

#include "reply.h"

namespace velto::server {

// One request as a route sees it.
struct Call {
  const httplib::Request& request;
  httplib::Response& response;
  std::vector<std::string> args;                   // the path values, percent-decoded, in order
  std::string body;                                // the whole body, except on streaming routes
  const httplib::ContentReader* reader = nullptr;  // streaming routes only
  std::string key;                                 // the "key-id" header

  const std::string& Arg(size_t index) const { return args.at(index); }
  std::string Query(const char* name) const { return request.get_param_value(name); }
};

using RouteHandler = std::function<void(Call&)>;

struct RouteOptions {
  bool needs_key = true;
  bool streams_body = false;  // the handler reads the body itself through Call::reader
  bool raw_reply = false;     // the reply is not an envelope: failures use HTTP statuses
};

// Sends a success envelope.
void Reply(Call& call, const ValueWriter& value = {});

// Matches requests against path patterns whose "{}" segments are values. Paths are split on
// "/" before they are decoded, so a value may hold an encoded "/" or "?".
class Router {
 public:
  // Whether a key is live.
  using KeyCheck = std::function<bool(const std::string& key)>;

  explicit Router(KeyCheck key_check) : key_check_(std::move(key_check)) {}

  void Add(const std::string& verb, const std::string& pattern, RouteHandler handler,
           RouteOptions options = {});
  void Install(httplib::Server& server);

 private:
  struct Route {
    std::string verb;
    std::vector<std::string> segments;
    RouteHandler handler;
    RouteOptions options;
  };

  void Dispatch(const httplib::Request& request, httplib::Response& response,
                const httplib::ContentReader* reader);
  void Run(const Route& route, Call& call);
  const Route* Match(const std::string& verb, const std::vector<std::string>& segments,
                     std::vector<std::string>& args) const;

  KeyCheck key_check_;
  std::vector<Route> routes_;
};

}  // namespace velto::server
