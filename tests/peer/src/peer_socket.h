#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace velto::test {

#ifdef _WIN32
using NativeSocket = SOCKET;
#else
using NativeSocket = int;
#endif

// Keeps the platform's socket library started while alive (Winsock; nothing elsewhere).
class SocketLibrary {
 public:
  SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;
  ~SocketLibrary();
};

// One owned socket.
class Socket {
 public:
  Socket() = default;
  explicit Socket(NativeSocket handle) : handle_(handle) {}
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  ~Socket() { CloseNow(); }

  static Socket ListenOnLoopback(uint16_t& port);
  // Bound to an ephemeral loopback port, not listening; exclusive while it lives.
  static Socket BindLoopback(uint16_t& port);
  // A non-blocking connection attempt to a loopback port, still under way.
  static Socket StartConnect(uint16_t port);

  void Listen(int backlog) const;
  // True when the attempt of StartConnect completed within `wait`.
  bool WaitConnected(std::chrono::milliseconds wait) const;

  bool Valid() const;
  NativeSocket Native() const { return handle_; }
  // True when a read would not block (data, end or error), waiting at most `wait`.
  bool WaitReadable(std::chrono::milliseconds wait) const;
  Socket Accept() const;
  // Bytes read, 0 at the end, negative on error.
  int Receive(char* buffer, size_t capacity) const;
  bool SendAll(std::string_view bytes) const;
  void SetReceiveTimeout(std::chrono::milliseconds timeout) const;
  void CloseNow();
  // Ends the connection with a reset instead of an orderly close.
  void ResetNow();

 private:
  NativeSocket handle_ = Invalid();
  static NativeSocket Invalid();
};

}  // namespace velto::test
