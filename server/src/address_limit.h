#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velto::server {

// How many connections each client address holds open, so that one address cannot take every
// worker.
class ConnectionsPerAddress {
 public:
  explicit ConnectionsPerAddress(std::size_t cap) : cap_(cap) {}

  // One connection's place among its address's; without a place (the address holds its cap
  // already) the connection is to be closed at once.
  class Slot {
   public:
    Slot(ConnectionsPerAddress& counts, std::string address);
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    ~Slot();
    bool admitted() const { return admitted_; }

   private:
    ConnectionsPerAddress& counts_;
    std::string address_;
    bool admitted_;
  };

 private:
  bool Take(const std::string& address);
  void Give(const std::string& address);

  const std::size_t cap_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::size_t> open_;
};

}  // namespace velto::server
