#pragma once

#include <httplib.h>

#include <chrono>
#include <string>

namespace velto::server {

// A request's target for a log: its path as sent, and of its query only the names, so that no
// value a client sent (a name, a filter) is written out; bytes that could break the line are
// written as %XX.
std::string LoggedTarget(const std::string& target);

// One line about a finished request: method, target as above, HTTP status, the envelope's code
// when the reply is one, and the time taken. Bodies and headers (card numbers, passwords, keys)
// never appear.
std::string RequestLogLine(const httplib::Request& request, const httplib::Response& response,
                           std::chrono::steady_clock::duration taken);

}  // namespace velto::server
