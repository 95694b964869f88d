#include "http_listener.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "request_head.h"
#include "request_log.h"
#include "socket_end.h"
#include "worker_pool.h"

namespace velto::server {
namespace {

using Clock = std::chrono::steady_clock;

// Requests one connection may carry before the server closes it.
constexpr size_t kRequestsPerConnection = 100;
// How long a connection may stay open between requests.
constexpr auto kKeepAlive = std::chrono::seconds(5);
// After a reply whose request was not read whole: how long and how much of the rest is read
// and dropped before closing, so that closing with unread bytes does not reset the connection
// before a client that sends its whole request before reading has read the reply.
constexpr auto kLingerTime = std::chrono::seconds(5);
constexpr size_t kLingerBytes = 32 * 1024 * 1024;

// The request being handled on this thread, for the logger and CloseConnectionAfterReply.
struct RequestState {
  Clock::time_point start;
  bool close_after_reply = false;
};
thread_local RequestState* current_request = nullptr;

void SetNonBlocking(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Sends nothing more, then reads and drops what the client still sends for a short while.
void Linger(int fd) {
  shutdown(fd, SHUT_WR);
  const auto until = Clock::now() + kLingerTime;
  char sink[16 * 1024];
  size_t dropped = 0;
  while (dropped < kLingerBytes && WaitForSocket(fd, Channel::Wait::kRead, until)) {
    const ssize_t n = recv(fd, sink, sizeof sink, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
    if (n > 0) dropped += static_cast<size_t>(n);
  }
}

void Log(const std::string& line) {
  // One write per line, so that lines of concurrent requests never mix.
  std::cerr << ("velto-server: " + line + "\n") << std::flush;
}

// Statuses after which the rest of the connection's bytes cannot be trusted to begin a request.
bool EndsConnection(int status) {
  return status == 400 || status == 413 || status == 414 || status == 431;
}

void RefuseMalformed(ConnectionStream& stream) {
  static constexpr std::string_view kRefusal =
      "HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain; charset=utf-8\r\n"
      "Content-Length: 12\r\nConnection: close\r\n\r\nBad request\n";
  std::string_view rest = kRefusal;
  while (!rest.empty()) {
    const ssize_t sent = stream.write(rest.data(), rest.size());
    if (sent <= 0) return;
    rest.remove_prefix(static_cast<size_t>(sent));
  }
}

// Logs why the server ends a connection for its client's fault, if it does.
void LogCutOff(const ConnectionStream& stream, bool malformed) {
  const char* why = stream.too_slow()          ? " sent its request too slowly"
                    : stream.header_too_long() ? " sent too long a header"
                    : malformed                ? " sent a malformed request"
                                               : nullptr;
  if (why == nullptr) return;
  std::string ip;
  int port = 0;
  stream.get_remote_ip_and_port(ip, port);
  Log(ip + why + "; connection closed");
}

}  // namespace

void CloseConnectionAfterReply() {
  if (current_request != nullptr) current_request->close_after_reply = true;
}

HttpListener::HttpListener(const ListenerOptions& options, std::optional<TlsContext> tls)
    : options_(options), tls_(std::move(tls)), per_address_(options.max_connections_per_address) {
  new_task_queue = [workers = options_.workers] { return new WorkerPool(workers); };
  set_tcp_nodelay(true);
  set_keep_alive_max_count(kRequestsPerConnection);  // what the replies announce
  set_keep_alive_timeout(std::chrono::seconds(kKeepAlive).count());
  // Only SO_REUSEADDR: a port that another server holds must stay refused.
  set_socket_options([](socket_t sock) {
    const int on = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  });
  set_logger([log = options_.log_requests](const httplib::Request& request,
                                           const httplib::Response& response) {
    if (current_request == nullptr) return;
    if (EndsConnection(response.status)) current_request->close_after_reply = true;
    if (log) Log(RequestLogLine(request, response, Clock::now() - current_request->start));
  });
}

int HttpListener::Bind(const std::string& host, int port) {
  errno = 0;
  const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
  const int reason = errno;
  if (bound < 0) {
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) +
                             (reason != 0 ? std::string(": ") + std::strerror(reason) : ""));
  }
  // The library's own queue is very short; a burst of connections must not overflow it.
  if (::listen(svr_sock_, options_.backlog) != 0) {
    throw std::runtime_error(std::string("cannot listen: ") + std::strerror(errno));
  }
  return bound;
}

bool HttpListener::process_and_close_socket(socket_t sock) {
  SetNonBlocking(sock);
  // A connection beyond its address's share, or one that sends nothing, gives its worker back
  // at once or soon, so that one address cannot keep the others waiting.
  const ConnectionsPerAddress::Slot slot(per_address_, PeerEnd(sock).ip);
  const bool served = slot.admitted() &&
                      AwaitReadable(sock, Clock::now() + options_.first_byte_deadline,
                                    [this] { return Stopping(); }) &&
                      Serve(sock);
  shutdown(sock, SHUT_RDWR);
  close(sock);
  return served;
}

bool HttpListener::Serve(socket_t sock) {
  std::unique_ptr<Channel> channel;
  if (tls_) {
    auto tls = std::make_unique<TlsChannel>(*tls_, sock);
    if (tls->Handshake(Clock::now() + options_.limits.header_deadline)) channel = std::move(tls);
  } else {
    channel = std::make_unique<PlainChannel>(sock);
  }
  bool served = false;
  RequestState state;
  if (channel) {
    ConnectionStream stream(sock, *channel, options_.limits);
    current_request = &state;
    size_t left = kRequestsPerConnection;
    while (left-- > 0 && stream.AwaitRequest(kKeepAlive, [this] { return Stopping(); })) {
      state = RequestState{Clock::now()};
      stream.StartHeader();
      const ConnectionStream::HeadState head = stream.LoadHead();
      const std::optional<std::string> checked =
          head == ConnectionStream::HeadState::kWhole ? CheckedHead(stream.Head()) : std::nullopt;
      if (!checked) {
        const bool answerable = head != ConnectionStream::HeadState::kFailed;
        if (answerable) {
          RefuseMalformed(stream);
          state.close_after_reply = true;
        }
        if (options_.log_requests) LogCutOff(stream, answerable);
        break;
      }
      stream.ReplaceHead(*checked);
      bool client_closes = false;
      served = process_request(stream, left == 0 || Stopping(), client_closes,
                               [&stream](httplib::Request&) { stream.StartBody(); });
      if (options_.log_requests) LogCutOff(stream, false);
      if (!served || client_closes || state.close_after_reply) break;
    }
    current_request = nullptr;
    if (auto* tls = dynamic_cast<TlsChannel*>(channel.get())) tls->Close();
  }
  if (state.close_after_reply) Linger(sock);
  return served;
}

}  // namespace velto::server
