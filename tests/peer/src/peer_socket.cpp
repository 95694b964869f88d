#include "peer_socket.h"

#include <cerrno>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <unistd.h>
#endif

namespace velto::test {
namespace {

#ifdef _WIN32
void CloseNative(NativeSocket s) {
  closesocket(s);
}
bool SetNonBlocking(NativeSocket s) {
  u_long on = 1;
  return ioctlsocket(s, FIONBIO, &on) == 0;
}
bool ConnectUnderWay() {
  return WSAGetLastError() == WSAEWOULDBLOCK;
}
constexpr int kSendFlags = 0;
#else
void CloseNative(NativeSocket s) {
  close(s);
}
bool SetNonBlocking(NativeSocket s) {
  return fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK) == 0;
}
bool ConnectUnderWay() {
  return errno == EINPROGRESS;
}
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

timeval Limit(std::chrono::milliseconds wait) {
  timeval limit{};
  limit.tv_sec = static_cast<long>(wait.count() / 1000);
  limit.tv_usec = static_cast<long>(wait.count() % 1000 * 1000);
  return limit;
}

}  // namespace

#ifdef _WIN32
SocketLibrary::SocketLibrary() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
}
SocketLibrary::~SocketLibrary() {
  WSACleanup();
}
NativeSocket Socket::Invalid() {
  return INVALID_SOCKET;
}
#else
SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;
NativeSocket Socket::Invalid() {
  return -1;
}
#endif

Socket::Socket(Socket&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    CloseNow();
    handle_ = std::exchange(other.handle_, Invalid());
  }
  return *this;
}

bool Socket::Valid() const {
  return handle_ != Invalid();
}

Socket Socket::ListenOnLoopback(uint16_t& port) {
  Socket s = BindLoopback(port);
  s.Listen(16);
  return s;
}

Socket Socket::BindLoopback(uint16_t& port) {
  Socket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s.Valid()) throw std::runtime_error("socket failed");
  sockaddr_in address = Loopback(0);
  if (bind(s.handle_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    throw std::runtime_error("bind failed");
  }
  socklen_t length = sizeof(address);
  getsockname(s.handle_, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return s;
}

Socket Socket::StartConnect(uint16_t port) {
  Socket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s.Valid() || !SetNonBlocking(s.handle_)) throw std::runtime_error("socket failed");
  const sockaddr_in address = Loopback(port);
  if (connect(s.handle_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
      !ConnectUnderWay()) {
    throw std::runtime_error("connect failed at once");
  }
  return s;
}

void Socket::Listen(int backlog) const {
  if (listen(handle_, backlog) != 0) throw std::runtime_error("listen failed");
}

bool Socket::WaitConnected(std::chrono::milliseconds wait) const {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(handle_, &writable);
  FD_SET(handle_, &failed);
  timeval limit = Limit(wait);
  if (select(static_cast<int>(handle_ + 1), nullptr, &writable, &failed, &limit) <= 0) {
    return false;
  }
  int error = 0;
  socklen_t length = sizeof(error);
  getsockopt(handle_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
  return error == 0 && FD_ISSET(handle_, &writable);
}

bool Socket::WaitReadable(std::chrono::milliseconds wait) const {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(handle_, &set);
  timeval limit = Limit(wait);
  return select(static_cast<int>(handle_ + 1), &set, nullptr, nullptr, &limit) > 0;
}

Socket Socket::Accept() const {
  return Socket(accept(handle_, nullptr, nullptr));
}

int Socket::Receive(char* buffer, size_t capacity) const {
  return static_cast<int>(recv(handle_, buffer, static_cast<int>(capacity), 0));
}

bool Socket::SendAll(std::string_view bytes) const {
  while (!bytes.empty()) {
    const auto sent = send(handle_, bytes.data(), static_cast<int>(bytes.size()), kSendFlags);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void Socket::SetReceiveTimeout(std::chrono::milliseconds timeout) const {
#ifdef _WIN32
  const DWORD value = static_cast<DWORD>(timeout.count());
#else
  timeval value{};
  value.tv_sec = static_cast<long>(timeout.count() / 1000);
  value.tv_usec = static_cast<long>(timeout.count() % 1000 * 1000);
#endif
  setsockopt(handle_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value),
             sizeof(value));
}

void Socket::CloseNow() {
  if (Valid()) CloseNative(std::exchange(handle_, Invalid()));
}

void Socket::ResetNow() {
  if (!Valid()) return;
  linger hard{};
  hard.l_onoff = 1;
  hard.l_linger = 0;
  setsockopt(handle_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof(hard));
  CloseNow();
}

}  // namespace velto::test
