#pragma once

#include <ostream>
#include <span>
#include <string>

#include "api_client.h"
#include "server_fixture.h"

namespace velto::test {

enum class Body { kNone, kJson, kUpload, kLogoForm, kLogoFormWithId };

// One route of the protocol with a request that it accepts.
struct RouteCase {
  const char* verb;
  const char* path;  // {site}, {person}, ... stand for the world's records
  Body body = Body::kNone;
  Members json = {};
  bool raw = false;  // answers with bytes or a page, not an envelope
};

std::ostream& operator<<(std::ostream& out, const RouteCase& route);

// Every route, once.
extern const std::span<const RouteCase> kRoutes;

// Replaces each {name} by the world's record, or every one by an id that names nothing.
std::string Fill(std::string text, const World& w, bool missing);

// Sends the route's request about the world `w` (or about records that do not exist).
Reply Send(Api& api, const RouteCase& route, const World& w, bool missing);

}  // namespace velto::test
