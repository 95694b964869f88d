#include "connection_stream.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "socket_end.h"

namespace velto::server {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kBufferSize = 64 * 1024;

// Receive and Send of a plain socket: the count, 0 at the end, or -1 with what to wait for.
ssize_t Moved(ssize_t result, Channel::Wait would_block, Channel::Wait& wait) {
  wait = Channel::Wait::kNothing;
  if (result >= 0) return result;
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) wait = would_block;
  return -1;
}

}  // namespace

ssize_t PlainChannel::Receive(char* data, size_t size, Wait& wait) {
  return Moved(recv(fd_, data, size, MSG_DONTWAIT), Wait::kRead, wait);
}

ssize_t PlainChannel::Send(const char* data, size_t size, Wait& wait) {
  return Moved(send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL), Wait::kWrite, wait);
}

bool WaitForSocket(int fd, Channel::Wait wait, Clock::time_point until) {
  pollfd waiting{fd, static_cast<short>(wait == Channel::Wait::kWrite ? POLLOUT : POLLIN), 0};
  while (true) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) return false;
    const int ready = poll(&waiting, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    // A hang-up or an error counts as ready: the next operation finds out which.
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

ConnectionStream::ConnectionStream(int fd, Channel& channel, const StreamLimits& limits)
    : fd_(fd), channel_(channel), limits_(limits), buffer_(kBufferSize) {}

void ConnectionStream::StartHeader() {
  in_body_ = false;
  phase_start_ = Clock::now();
  phase_bytes_ = 0;
}

void ConnectionStream::StartBody() {
  in_body_ = true;
  phase_start_ = Clock::now();
  phase_bytes_ = 0;
}

Clock::time_point ConnectionStream::Deadline() const {
  if (!in_body_) return phase_start_ + limits_.header_deadline;
  const auto earned =
      std::chrono::seconds(phase_bytes_ / std::max<std::uint64_t>(limits_.body_rate, 1));
  return phase_start_ + limits_.body_deadline + earned;
}

ssize_t ConnectionStream::Fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) return -1;
  while (true) {
    const auto now = Clock::now();
    const auto deadline = Deadline();
    if (now >= deadline) {
      too_slow_ = true;
      return -1;
    }
    Channel::Wait wait = Channel::Wait::kNothing;
    const ssize_t received = channel_.Receive(buffer_.data() + end_, buffer_.size() - end_, wait);
    if (received >= 0) {
      end_ += static_cast<size_t>(received);
      return received;
    }
    if (wait == Channel::Wait::kNothing) return -1;
    if (!WaitForSocket(fd_, wait, std::min(deadline, now + limits_.read_pause))) {
      too_slow_ = Clock::now() >= deadline;
      return -1;
    }
  }
}

ConnectionStream::HeadState ConnectionStream::LoadHead() {
  static constexpr std::string_view kHeadEnd = "\r\n\r\n";
  size_t searched = 0;  // where the end may begin, among what was already looked at
  while (true) {
    const std::string_view held(buffer_.data() + begin_, end_ - begin_);
    const size_t found = held.find(kHeadEnd, searched);
    if (found != std::string_view::npos && found + kHeadEnd.size() <= limits_.max_header_bytes) {
      head_size_ = found + kHeadEnd.size();
      return HeadState::kWhole;
    }
    if (held.size() >= limits_.max_header_bytes) {
      header_too_long_ = true;
      return HeadState::kTooLong;
    }
    searched = held.size() < kHeadEnd.size() ? 0 : held.size() - kHeadEnd.size() + 1;
    if (Fill() <= 0) {
      header_too_long_ = end_ == buffer_.size();
      return header_too_long_ ? HeadState::kTooLong : HeadState::kFailed;
    }
  }
}

std::string_view ConnectionStream::Head() const {
  return {buffer_.data() + begin_, head_size_};
}

void ConnectionStream::ReplaceHead(std::string_view head) {
  const size_t rest_begin = begin_ + head_size_;
  if (head.size() <= head_size_) {
    begin_ = rest_begin - head.size();
    std::memcpy(buffer_.data() + begin_, head.data(), head.size());
    head_size_ = head.size();
    return;
  }
  std::vector<char> joined(head.begin(), head.end());
  joined.insert(joined.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(rest_begin),
                buffer_.begin() + static_cast<std::ptrdiff_t>(end_));
  joined.resize(std::max(joined.size(), kBufferSize));
  end_ = head.size() + (end_ - rest_begin);
  begin_ = 0;
  head_size_ = head.size();
  buffer_ = std::move(joined);
}

ssize_t ConnectionStream::read(char* data, size_t size) {
  if (begin_ == end_) {
    const ssize_t filled = Fill();
    if (filled <= 0) return filled;
  }
  const size_t count = std::min(size, end_ - begin_);
  std::memcpy(data, buffer_.data() + begin_, count);
  begin_ += count;
  phase_bytes_ += count;
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* data, size_t size) {
  const auto until = Clock::now() + limits_.write_pause;
  while (true) {
    Channel::Wait wait = Channel::Wait::kNothing;
    const ssize_t sent = channel_.Send(data, size, wait);
    if (sent >= 0) return sent;
    if (wait == Channel::Wait::kNothing || !WaitForSocket(fd_, wait, until)) return -1;
  }
}

bool ConnectionStream::is_readable() const {
  if (begin_ < end_ || channel_.HasPending()) return true;
  return WaitForSocket(fd_, Channel::Wait::kRead,
                       std::min(Deadline(), Clock::now() + limits_.read_pause));
}

bool ConnectionStream::is_writable() const {
  return WaitForSocket(fd_, Channel::Wait::kWrite, Clock::now() + limits_.write_pause);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  SocketEnd end = PeerEnd(fd_);
  ip = std::move(end.ip);
  port = end.port;
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  SocketEnd end = LocalEnd(fd_);
  ip = std::move(end.ip);
  port = end.port;
}

}  // namespace velto::server
