#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velto::test {

// A loopback port where no HTTP server answers, held for the object's whole life so that
// no other test (under ctest -j) or program can take it meanwhile.
//   Refusing:   bound and never listening, so every connection attempt is refused at once.
//   Unanswered: listening but never accepting, its accept queue filled, so a connection
//               attempt gets no answer at all.
class ClosedPort {
 public:
  enum class Kind { Refusing, Unanswered };

  explicit ClosedPort(Kind kind = Kind::Refusing);
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  ~ClosedPort();

  uint16_t Port() const { return port_; }
  std::string Root() const;  // http://127.0.0.1:<port>

 private:
  struct Sockets;
  std::unique_ptr<Sockets> sockets_;
  uint16_t port_ = 0;
};

}  // namespace velto::test
