#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velto::fuzz {

// A loopback HTTP peer on a thread of its own that answers the requests of one fuzz input
// with that input's replies, in order (the last one again for any further request), and
// closes each connection after its reply, so that a cut reply ends where its bytes end.
// One listening socket serves the whole fuzz run.
class ReplyPeer {
 public:
  ReplyPeer();  // listens on 127.0.0.1, on a port the system picks
  ReplyPeer(const ReplyPeer&) = delete;
  ReplyPeer& operator=(const ReplyPeer&) = delete;
  ~ReplyPeer();

  uint16_t Port() const { return port_; }
  // The replies to the next requests, from the first one on.
  void Script(std::vector<std::string> replies);

 private:
  class Socket;

  void Serve();
  void Answer(const Socket& connection);
  std::string NextReply();

  std::unique_ptr<Socket> listener_;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<std::string> replies_;
  size_t answered_ = 0;
  std::thread thread_;
};

}  // namespace velto::fuzz
