#include <stdexcept>

#include "peer_channel.h"

// The Windows build has no TLS library to serve with; TLS tests run on Linux.
namespace velto::test {

struct TlsServer::Context {};

TlsServer::TlsServer() {
  throw std::runtime_error("the TLS test peer runs on Linux only");
}
TlsServer::~TlsServer() = default;
std::unique_ptr<PeerChannel> TlsServer::Accept(Socket) {
  return nullptr;
}

}  // namespace velto::test
