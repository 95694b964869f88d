#include "address_limit.h"

#include <utility>

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

}  // namespace velto::server
