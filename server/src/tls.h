#pragma once

#include <openssl/ssl.h>

#include <chrono>
#include <memory>
#include <string>

#include "connection_stream.h"

namespace velto::server {

// The server's certificate and key, ready to accept TLS 1.2 or newer.
class TlsContext {
 public:
  // Throws, naming the file and OpenSSL's reason, when they cannot be used.
  TlsContext(const std::string& certificate, const std::string& key);
  SSL_CTX* get() const { return context_.get(); }

 private:
  struct Free {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
  };
  std::unique_ptr<SSL_CTX, Free> context_;
};

// TLS over a connection's socket.
class TlsChannel : public Channel {
 public:
  TlsChannel(const TlsContext& context, int fd);
  // Completes the handshake by `until`; false when the client does not.
  bool Handshake(std::chrono::steady_clock::time_point until);
  // Sends the close notification, without waiting for the client's.
  void Close();

  ssize_t Receive(char* data, size_t size, Wait& wait) override;
  ssize_t Send(const char* data, size_t size, Wait& wait) override;
  bool HasPending() const override { return SSL_pending(ssl_.get()) > 0; }

 private:
  struct Free {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
  };
  ssize_t Moved(int result, Wait& wait);

  int fd_;
  std::unique_ptr<SSL, Free> ssl_;
};

}  // namespace velto::server
