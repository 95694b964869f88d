#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "peer_socket.h"

namespace velto::test {

// One accepted connection, plain or TLS.
class PeerChannel {
 public:
  virtual ~PeerChannel() = default;
  // Bytes read; 0 when the peer closed or failed; -1 when nothing came within `wait`.
  virtual int Receive(char* buffer, size_t capacity, std::chrono::milliseconds wait) = 0;
  virtual bool Send(std::string_view bytes) = 0;
  virtual void Close() = 0;
  virtual void Reset() = 0;
};

std::unique_ptr<PeerChannel> MakePlainChannel(Socket socket);

// The TLS side: a server context with the test certificate, and channels that finish their
// handshake before returning (null when the handshake fails).
class TlsServer {
 public:
  TlsServer();
  TlsServer(const TlsServer&) = delete;
  TlsServer& operator=(const TlsServer&) = delete;
  ~TlsServer();
  std::unique_ptr<PeerChannel> Accept(Socket socket);

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

}  // namespace velto::test
