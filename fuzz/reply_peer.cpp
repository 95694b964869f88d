#include "reply_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string_view>

namespace velto::fuzz {
namespace {

// How long the peer waits for the client's next bytes, and how much of a request it takes.
constexpr int kReadWaitMs = 2000;
constexpr size_t kMaxRequest = 64 * 1024 * 1024;

bool WaitReadable(int fd, int milliseconds) {
  pollfd wait{fd, POLLIN, 0};
  return poll(&wait, 1, milliseconds) > 0;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The body length the request's head announces; 0 without one.
size_t ContentLength(std::string_view head) {
  const std::string lower = Lower(head);
  constexpr std::string_view kName = "\ncontent-length:";
  const size_t at = lower.find(kName);
  if (at == std::string::npos) return 0;
  std::string_view value = std::string_view(lower).substr(at + kName.size());
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  size_t length = 0;
  std::from_chars(value.data(), value.data() + value.size(), length);
  return length;
}

}  // namespace

class ReplyPeer::Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

ReplyPeer::ReplyPeer() : listener_(std::make_unique<Socket>(socket(AF_INET, SOCK_STREAM, 0))) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  const int fd = listener_->fd();
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("the reply peer cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

ReplyPeer::~ReplyPeer() {
  stopping_ = true;
  thread_.join();
}

void ReplyPeer::Script(std::vector<std::string> replies) {
  std::lock_guard lock(mutex_);
  replies_ = std::move(replies);
  answered_ = 0;
}

std::string ReplyPeer::NextReply() {
  std::lock_guard lock(mutex_);
  if (replies_.empty()) return {};
  return replies_[std::min(answered_++, replies_.size() - 1)];
}

void ReplyPeer::Serve() {
  constexpr int kStopCheckMs = 100;
  while (!stopping_) {
    if (!WaitReadable(listener_->fd(), kStopCheckMs)) continue;
    const Socket connection(accept(listener_->fd(), nullptr, nullptr));
    if (connection.fd() >= 0) Answer(connection);
  }
}

// Takes in the whole request (its head, then the body it announces) before answering, so
// that closing after the reply never resets the connection under unread bytes.
void ReplyPeer::Answer(const Socket& connection) {
  std::string request;
  size_t head_end = std::string::npos;
  size_t wanted = kMaxRequest;
  char buffer[16 * 1024];
  while (request.size() < wanted && WaitReadable(connection.fd(), kReadWaitMs)) {
    const ssize_t got = recv(connection.fd(), buffer, sizeof buffer, 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<size_t>(got));
    if (head_end == std::string::npos && (head_end = request.find("\r\n\r\n")) != request.npos) {
      wanted = head_end + 4 + ContentLength(std::string_view(request).substr(0, head_end));
    }
  }
  const std::string reply = NextReply();
  size_t sent = 0;
  while (sent < reply.size()) {
    const ssize_t n = send(connection.fd(), reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace velto::fuzz
