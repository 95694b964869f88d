#include "velto/closed_port.h"

#include <chrono>
#include <stdexcept>
#include <vector>

#include "peer_socket.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

// A loopback handshake completes within connect() itself; one that has not after this
// long was dropped by the full queue.
constexpr auto kHandshakeWait = 1s;
// The queue of a backlog of 0 holds one connection on Linux; other systems round it up.
constexpr int kMostFillers = 256;

}  // namespace

struct ClosedPort::Sockets {
  SocketLibrary library;
  Socket bound;
  std::vector<Socket> fillers;  // completed connections nobody accepts, then the dropped one
};

ClosedPort::ClosedPort(Kind kind) : sockets_(std::make_unique<Sockets>()) {
  sockets_->bound = Socket::BindLoopback(port_);
  if (kind == Kind::Refusing) return;
  sockets_->bound.Listen(0);
  for (int i = 0; i < kMostFillers; ++i) {
    Socket attempt = Socket::StartConnect(port_);
    const bool connected = attempt.WaitConnected(kHandshakeWait);
    sockets_->fillers.push_back(std::move(attempt));
    if (!connected) return;
  }
  throw std::runtime_error("the accept queue did not fill");
}

ClosedPort::~ClosedPort() = default;

std::string ClosedPort::Root() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

}  // namespace velto::test
