#pragma once

#include <httplib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velto::server {

// How long a client may take over a request, and how much header it may send.
struct StreamLimits {
  std::chrono::milliseconds header_deadline{10000};  // the whole header, from its first byte
  std::chrono::milliseconds body_deadline{60000};    // the body, after the header
  std::uint64_t body_rate = 8 * 1024;  // each such count of body bytes earns one more second
  std::chrono::milliseconds read_pause{5000};   // the longest wait for the next bytes
  std::chrono::milliseconds write_pause{5000};  // the longest wait to send more
  std::size_t max_header_bytes = 64 * 1024;
};

// The bytes of one connection: a plain socket, or TLS over it. The socket does not block: an
// operation that cannot move a byte yet says what it waits for.
class Channel {
 public:
  enum class Wait { kNothing, kRead, kWrite };
  virtual ~Channel() = default;
  // Bytes moved (more than zero), 0 when the peer has ended its data, -1 when nothing moved:
  // `wait` then tells what to wait for, and kNothing means that the connection failed.
  virtual ssize_t Receive(char* data, size_t size, Wait& wait) = 0;
  virtual ssize_t Send(const char* data, size_t size, Wait& wait) = 0;
  // Bytes already received and decoded, which the socket will not signal again.
  virtual bool HasPending() const { return false; }
};

class PlainChannel : public Channel {
 public:
  explicit PlainChannel(int fd) : fd_(fd) {}
  ssize_t Receive(char* data, size_t size, Wait& wait) override;
  ssize_t Send(const char* data, size_t size, Wait& wait) override;

 private:
  int fd_;
};

// Waits until the socket can be read or written, at most until `until`; false when it cannot.
bool WaitForSocket(int fd, Channel::Wait wait, std::chrono::steady_clock::time_point until);

// The stream the HTTP library reads requests from and writes replies to. Each request has a
// deadline: its header must arrive within `header_deadline` of the request's start, and its
// body within `body_deadline` of the header's end plus one second for every `body_rate`
// bytes, so that a slow or stalled client cannot hold a worker for long.
class ConnectionStream : public httplib::Stream {
 public:
  ConnectionStream(int fd, Channel& channel, const StreamLimits& limits);

  // A request begins: its header is read next.
  void StartHeader();
  // The request's header has been read: its body is read next.
  void StartBody();
  // Reads until the buffer holds the request's whole head (up to its empty line), within the
  // header's deadline and size; kTooLong sets header_too_long().
  enum class HeadState { kWhole, kTooLong, kFailed };
  HeadState LoadHead();
  // The head that LoadHead found, and its replacement by the head the library is to read.
  std::string_view Head() const;
  void ReplaceHead(std::string_view head);
  // Whether the client failed to send a request within its deadline, or sent too much header.
  bool too_slow() const { return too_slow_; }
  bool header_too_long() const { return header_too_long_; }
  // Waits for the next request on the connection, at most `idle`; false when none comes or
  // `stopping` turns true.
  template <typename Stopping>
  bool AwaitRequest(std::chrono::milliseconds idle, Stopping stopping);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* data, size_t size) override;
  ssize_t write(const char* data, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return fd_; }

 private:
  std::chrono::steady_clock::time_point Deadline() const;
  // Reads what the client has sent into the buffer after what it holds: the byte count, 0 at
  // its end, -1 on failure, once the deadline has passed, or when the buffer is full.
  ssize_t Fill();

  int fd_;
  Channel& channel_;
  const StreamLimits& limits_;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t head_size_ = 0;
  bool in_body_ = false;
  std::chrono::steady_clock::time_point phase_start_;
  std::uint64_t phase_bytes_ = 0;
  bool too_slow_ = false;
  bool header_too_long_ = false;
};

// Waits until the socket can be read, at most until `until`; false when it cannot or
// `stopping` turns true first.
template <typename Stopping>
bool AwaitReadable(int fd, std::chrono::steady_clock::time_point until, Stopping stopping) {
  // Short waits, so that a stop is noticed soon.
  constexpr auto kSlice = std::chrono::milliseconds(50);
  while (!stopping()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) return false;
    if (WaitForSocket(fd, Channel::Wait::kRead, std::min(until, now + kSlice))) return true;
  }
  return false;
}

template <typename Stopping>
bool ConnectionStream::AwaitRequest(std::chrono::milliseconds idle, Stopping stopping) {
  if (stopping()) return false;
  if (begin_ < end_ || channel_.HasPending()) return true;
  return AwaitReadable(fd_, std::chrono::steady_clock::now() + idle, stopping);
}

}  // namespace velto::server
