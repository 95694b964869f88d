#pragma once

#include <string>

namespace velto::server {

// One end of a connected socket: its address as text and its port ("" and 0 when unknown).
struct SocketEnd {
  std::string ip;
  int port = 0;
};

SocketEnd PeerEnd(int fd);
SocketEnd LocalEnd(int fd);

}  // namespace velto::server
