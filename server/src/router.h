#pragma once

#include <httplib.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reply.h"
#include "request_body.h"

namespace velto::server {

// Who sent a request: the user of its key.
struct Caller {
  std::string user_id;
  bool admin = false;              // the user's roles include "root" or "admin"
  std::vector<std::string> sites;  // the ids its "site:ID" roles name

  // Whether the caller may work with the persons of site `site_id`.
  bool WorksAt(const std::string& site_id) const;
};

// One request as a route sees it.
struct Call {
  const httplib::Request& request;
  httplib::Response& response;
  std::vector<std::string> args;  // the path values, percent-decoded, in order
  RequestBody& body_reader;       // streaming routes read the body through this
  std::string body;               // the whole body, except on streaming routes
  std::string key;                // the "key-id" header
  Caller caller;                  // empty on routes open without a key
  bool head = false;              // HEAD: answered as GET, but nothing may change

  const std::string& Arg(size_t index) const { return args.at(index); }
  std::string Query(const char* name) const { return request.get_param_value(name); }
};

using RouteHandler = std::function<void(Call&)>;

struct RouteOptions {
  bool needs_key = true;
  bool admin_only = false;    // refused to callers that are not administrators
  bool streams_body = false;  // the handler reads the body itself through Call::body_reader
  bool raw_reply = false;     // the reply is not an envelope: failures use HTTP statuses
};

// Sends a success envelope.
void Reply(Call& call, const ValueWriter& value = {});

// Refuses ("405") a caller that is neither an administrator nor the user `user_id`.
void RequireSelfOrAdmin(const Call& call, const std::string& user_id);

// Matches requests against path patterns whose "{}" segments are values. Paths are split on
// "/" before they are decoded, so a value may hold an encoded "/" or "?".
class Router {
 public:
  // The caller behind a live key; `use` counts the request as a use of the key.
  using KeyCheck = std::function<std::optional<Caller>(const std::string& key, bool use)>;
  // Throws a refusal when a caller who is no administrator may not work with the records the
  // route `pattern` reaches through `args`.
  using SiteCheck = std::function<void(const Caller& caller, const std::string& pattern,
                                       const std::vector<std::string>& args)>;

  Router(KeyCheck key_check, SiteCheck site_check)
      : key_check_(std::move(key_check)), site_check_(std::move(site_check)) {}

  void Add(const std::string& verb, const std::string& pattern, RouteHandler handler,
           RouteOptions options = {});
  void Install(httplib::Server& server);

 private:
  struct Route {
    std::string verb;
    std::string pattern;
    std::vector<std::string> segments;
    RouteHandler handler;
    RouteOptions options;
  };

  void Dispatch(const httplib::Request& request, httplib::Response& response,
                const httplib::ContentReader* reader);
  void Run(const Route& route, Call& call);
  // `segments` are the request's path segments, already decoded.
  const Route* Match(const std::string& verb, const std::vector<std::string>& segments,
                     std::vector<std::string>& args) const;

  KeyCheck key_check_;
  SiteCheck site_check_;
  std::vector<Route> routes_;
};

}  // namespace velto::server
