#include "socket_end.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace velto::server {
namespace {

SocketEnd EndOf(const sockaddr_storage& address) {
  SocketEnd end;
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    end.port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    end.port = ntohs(v6.sin6_port);
  }
  end.ip = text;
  return end;
}

template <typename Name>
SocketEnd Named(int fd, Name name) {
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  if (name(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return {};
  return EndOf(address);
}

}  // namespace

SocketEnd PeerEnd(int fd) {
  return Named(fd, getpeername);
}
SocketEnd LocalEnd(int fd) {
  return Named(fd, getsockname);
}

}  // namespace velto::server
