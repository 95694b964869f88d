#include "address_limit.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace velto::server {

ConnectionsPerAddress::Slot::Slot(ConnectionsPerAddress& counts, std::string address)
    : counts_(counts), address_(std::move(address)), admitted_(counts_.Take(address_)) {}

ConnectionsPerAddress::Slot::~Slot() {
  if (admitted_) counts_.Give(address_);
}

bool ConnectionsPerAddress::Take(const std::string& address) {
  std::lock_guard lock(mutex_);
  std::size_t& open = open_[address];
  if (open >= cap_) return false;
  ++open;
  return true;
}

void ConnectionsPerAddress::Give(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto found = open_.find(address);
  // Addresses that hold nothing are forgotten, so the map stays as small as the open ones.
  if (--found->second == 0) open_.erase(found);
}

std::string PeerAddress(int fd) {
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return {};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address).sin_addr;
    return std::string(reinterpret_cast<const char*>(&v4), sizeof v4);
  }
  if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
    return std::string(reinterpret_cast<const char*>(&v6), sizeof v6);
  }
  return {};
}

}  // namespace velto::server
