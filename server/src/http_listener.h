#pragma once

#include <httplib.h>

#include <optional>
#include <string>

#include "address_limit.h"
#include "connection_stream.h"
#include "tls.h"

namespace velto::server {

// How the listener treats its connections.
struct ListenerOptions {
  StreamLimits limits;
  std::size_t workers = 256;                            // threads serving connections at most
  std::size_t max_connections_per_address = 32;         // more from one address are closed at once
  std::chrono::milliseconds first_byte_deadline{3000};  // for a new connection's first byte
  int backlog = 1024;        // connections the system queues before they are accepted
  bool log_requests = true;  // one line per request on standard error
};

// The HTTP(S) listener: cpp-httplib's request handling over connections of its own, which
// enforce the deadlines of StreamLimits, serve TLS when given a context, close the connection
// after a reply whose request was not read whole, and log each request.
class HttpListener : public httplib::Server {
 public:
  HttpListener(const ListenerOptions& options, std::optional<TlsContext> tls);

  // Binds the listening socket (port 0: any free one) and returns the bound port; throws,
  // saying why, when it cannot.
  int Bind(const std::string& host, int port);
  bool serves_tls() const { return tls_.has_value(); }

 private:
  bool process_and_close_socket(socket_t sock) override;
  // Serves the requests of a connection that has sent its first byte.
  bool Serve(socket_t sock);
  bool Stopping() const { return svr_sock_ == INVALID_SOCKET; }

  ListenerOptions options_;
  std::optional<TlsContext> tls_;
  ConnectionsPerAddress per_address_;
};

// Marks the connection of the request being handled on this thread to be closed once the
// reply is sent: what is left of its request cannot be told from the next one.
void CloseConnectionAfterReply();

}  // namespace velto::server
