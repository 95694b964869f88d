#include "transfer_sink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

#include "pattern.h"

namespace velto::bench {
namespace {

constexpr size_t kHeadLimit = 64 * 1024;

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { close(fd_); }
  int Fd() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void Fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Up to `capacity` bytes; 0 when the peer closed or failed.
size_t Receive(int fd, char* buffer, size_t capacity) {
  for (;;) {
    const ssize_t got = recv(fd, buffer, capacity, 0);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return 0;
  }
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// The request line and the few headers the sink looks at.
struct RequestHead {
  std::string method;
  std::string path;
  uint64_t content_length = 0;
  bool expects_continue = false;
  std::string boundary;
};

std::optional<RequestHead> ParseHead(std::string_view head) {
  RequestHead request;
  const size_t line_end = head.find("\r\n");
  const std::string_view line = head.substr(0, line_end);
  const size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  request.method = line.substr(0, space);
  request.path = line.substr(space + 1, line.find(' ', space + 1) - space - 1);
  for (size_t at = line_end + 2; at < head.size();) {
    const size_t end = std::min(head.find("\r\n", at), head.size());
    const std::string_view field = head.substr(at, end - at);
    at = end + 2;
    const size_t colon = field.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = field.substr(0, colon);
    std::string_view value = field.substr(colon + 1);
    while (value.starts_with(' ')) value.remove_prefix(1);
    if (SameText(name, "Content-Length")) request.content_length = std::stoull(std::string(value));
    if (SameText(name, "Expect")) request.expects_continue = SameText(value, "100-continue");
    if (SameText(name, "Content-Type") && value.find("boundary=") != std::string_view::npos) {
      request.boundary = value.substr(value.find("boundary=") + 9);
    }
  }
  return request;
}

std::string ReplyHead(std::string_view content_type, uint64_t length) {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(content_type) +
         "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

// Reads the body that follows the head (part of which may have come with it), keeping only
// its count and its last bytes; returns the count when the body arrived whole and ends
// with the closing boundary.
uint64_t SwallowForm(int fd, const RequestHead& request, std::string_view early,
                     std::string& buffer) {
  const std::string closing = "--" + request.boundary + "--\r\n";
  std::string tail(early.substr(early.size() - std::min(early.size(), closing.size())));
  uint64_t received = early.size();
  while (received < request.content_length) {
    const size_t wanted =
        static_cast<size_t>(std::min<uint64_t>(buffer.size(), request.content_length - received));
    const size_t got = Receive(fd, buffer.data(), wanted);
    if (got == 0) return 0;
    received += got;
    tail.append(buffer.data() + got - std::min(got, closing.size()), std::min(got, closing.size()));
    if (tail.size() > closing.size()) tail.erase(0, tail.size() - closing.size());
  }
  return received == request.content_length && tail == closing ? received : 0;
}

void SendDownload(int fd, uint64_t size, const std::string& pattern) {
  if (!SendAll(fd, ReplyHead("application/octet-stream", size))) return;
  for (uint64_t left = size; left > 0;) {
    const auto count = static_cast<size_t>(std::min<uint64_t>(left, pattern.size()));
    if (!SendAll(fd, std::string_view(pattern.data(), count))) return;
    left -= count;
  }
}

}  // namespace

TransferSink::TransferSink(uint64_t download_size) : download_size_(download_size) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) Fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 4) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const int error = errno;
    close(listener_);
    throw std::system_error(error, std::generic_category(), "the sink's loopback port");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

// Shutting the listener down wakes the accept that waits in Serve.
TransferSink::~TransferSink() {
  shutdown(listener_, SHUT_RDWR);
  thread_.join();
  close(listener_);
}

std::string TransferSink::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TransferSink::Serve() {
  const std::string pattern = PatternBlock();
  std::string buffer(kPatternSize, '\0');
  for (;;) {
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0 && errno == EINTR) continue;
    if (fd < 0) return;
    const Socket connection(fd);
    std::string head;
    size_t head_end = std::string::npos;
    while (head_end == std::string::npos && head.size() < kHeadLimit) {
      const size_t got = Receive(fd, buffer.data(), kHeadLimit);
      if (got == 0) break;
      head.append(buffer.data(), got);
      head_end = head.find("\r\n\r\n");
    }
    if (head_end == std::string::npos) continue;
    const std::optional<RequestHead> request = ParseHead(head.substr(0, head_end));
    if (!request) continue;
    if (request->method == "GET" && request->path == "/download") {
      SendDownload(fd, download_size_, pattern);
    } else if (request->method == "POST" && request->path == "/upload") {
      if (request->expects_continue) SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
      const uint64_t received =
          SwallowForm(fd, *request, std::string_view(head).substr(head_end + 4), buffer);
      last_upload_size_ = received;
      const std::string reply =
          R"({"code":"100","message":"OK","value":{"received":)" + std::to_string(received) + "}}";
      SendAll(fd, ReplyHead("application/json; charset=utf-8", reply.size()) + reply);
    } else {
      SendAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
  }
}

}  // namespace velto::bench
