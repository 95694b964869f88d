#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace velto::test {

// One scripted answer: pieces of bytes, each sent after its pause, then how the
// connection ends.
struct PeerReply {
  struct Piece {
    std::chrono::milliseconds pause{0};
    std::string bytes;
  };
  enum class End { KeepOpen, Close, Reset };

  std::vector<Piece> pieces;
  End end = End::KeepOpen;
  bool after_head = false;  // answers once the request's head is in, without its body

  // A complete reply with a Content-Length for `body`.
  static PeerReply Http(std::string_view status_line, std::string_view body = {},
                        const std::vector<std::pair<std::string, std::string>>& headers = {});
  // A 200 reply with a JSON body.
  static PeerReply Json(std::string_view body);
  // Bytes exactly as given.
  static PeerReply Raw(std::string bytes);

  PeerReply& Pause(std::chrono::milliseconds pause);  // before the first piece
  PeerReply& Close();
  PeerReply& Reset();
  // Answers as soon as the request's head arrived and closes, leaving its body unread (the
  // request is recorded without it): for bodies too large to take in.
  PeerReply& AfterHead();
};

// One request exactly as it arrived.
struct PeerRequest {
  std::string bytes;
  int connection = 0;           // 0 for the first connection the peer accepted, then 1...
  int order_on_connection = 0;  // 0 for the first request on its connection

  std::string RequestLine() const;
  std::string Method() const;
  std::string Target() const;
  std::string Version() const;
  // The first header of that name, any case, without surrounding spaces; empty if absent.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
  std::string Body() const;
};

class PeerChannel;

// A small HTTP server on 127.0.0.1 with an ephemeral port, on its own threads, that
// records every request and answers with scripted replies: queued ones first, then the
// responder's, else 500. It stops when destroyed; every wait in it is bounded.
class TestPeer {
 public:
  enum class Mode { Plain, Tls };  // Tls: a self-signed certificate for 127.0.0.1 (Linux)

  explicit TestPeer(Mode mode = Mode::Plain);
  TestPeer(const TestPeer&) = delete;
  TestPeer& operator=(const TestPeer&) = delete;
  ~TestPeer();

  uint16_t Port() const { return port_; }
  std::string Root() const;  // scheme, host and port, without a trailing slash

  void Enqueue(PeerReply reply);
  void SetResponder(std::function<PeerReply(const PeerRequest&)> responder);

  std::vector<PeerRequest> Requests() const;
  int Connections() const;

 private:
  struct Listener;

  void AcceptLoop();
  void JoinEndedWorkers();  // with mutex_ held
  void Serve(std::unique_ptr<PeerChannel> channel, int connection);
  PeerReply NextReply(const PeerRequest& request);
  bool NextAnswersAfterHead() const;
  bool Stopping() const;
  // Sends one reply; false when the connection must end after it.
  bool Answer(PeerChannel& channel, const PeerReply& reply);

  Mode mode_;
  std::unique_ptr<Listener> listener_;
  uint16_t port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
  std::deque<PeerReply> queue_;
  std::function<PeerReply(const PeerRequest&)> responder_;
  std::vector<PeerRequest> requests_;
  int connections_ = 0;
  std::vector<std::thread> workers_;
  std::vector<std::thread::id> ended_workers_;  // done serving, not yet joined
  std::thread acceptor_;
};

// The peer's self-signed certificate (PEM), for tests that trust it explicitly.
std::string_view TestCertificatePem();
std::string_view TestKeyPem();

}  // namespace velto::test
