#pragma once

#include <memory>
#include <string>

namespace velto::test {

// A velto-server for the end-to-end tests, on an ephemeral port of 127.0.0.1, with an empty
// database and a root user whose card number is known.
class RecordsServer {
 public:
  virtual ~RecordsServer() = default;
  virtual std::string Url() const = 0;
  virtual std::string Card() const = 0;

  // Linux starts its own; under Wine the test run's fixture has started one. Null, with the
  // reason, when none was asked for; a server that fails to start throws.
  static std::unique_ptr<RecordsServer> Start(std::string& reason);
};

}  // namespace velto::test
