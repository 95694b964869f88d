#include "velto/test_peer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "peer_channel.h"
#include "peer_socket.h"

#ifndef _WIN32
#include <csignal>
#endif

namespace velto::test {
namespace {

constexpr std::chrono::milliseconds kPoll(20);
constexpr std::chrono::seconds kIdleLimit(30);  // a silent connection is dropped after this

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The length of the first complete request in `buffer`, if it holds one. Bodies are
// framed by Content-Length; requests without one have none. With `head_only` the head is
// all that counts.
std::optional<size_t> CompleteRequestLength(const std::string& buffer, bool head_only) {
  const size_t head_end = buffer.find("\r\n\r\n");
  if (head_end == std::string::npos) return std::nullopt;
  if (head_only) return head_end + 4;
  PeerRequest probe;
  probe.bytes = buffer.substr(0, head_end + 4);
  const std::string length = probe.Header("Content-Length");
  size_t body = 0;
  std::from_chars(length.data(), length.data() + length.size(), body);  // none or bad: 0
  const size_t total = head_end + 4 + body;
  if (buffer.size() < total) return std::nullopt;
  return total;
}

bool WantsClose(const PeerRequest& request) {
  const std::string connection = Lowered(request.Header("Connection"));
  if (connection == "close") return true;
  return request.Version() == "HTTP/1.0" && connection != "keep-alive";
}

}  // namespace

struct TestPeer::Listener {
  SocketLibrary library;
  Socket socket;
  std::unique_ptr<TlsServer> tls;
};

TestPeer::TestPeer(Mode mode) : mode_(mode), listener_(std::make_unique<Listener>()) {
#ifndef _WIN32
  std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the test program
#endif
  if (mode_ == Mode::Tls) listener_->tls = std::make_unique<TlsServer>();
  listener_->socket = Socket::ListenOnLoopback(port_);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestPeer::~TestPeer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_signal_.notify_all();
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
}

std::string TestPeer::Root() const {
  return (mode_ == Mode::Tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

void TestPeer::Enqueue(PeerReply reply) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(reply));
}

void TestPeer::SetResponder(std::function<PeerReply(const PeerRequest&)> responder) {
  std::lock_guard lock(mutex_);
  responder_ = std::move(responder);
}

std::vector<PeerRequest> TestPeer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int TestPeer::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool TestPeer::Stopping() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void TestPeer::AcceptLoop() {
  while (!Stopping()) {
    if (!listener_->socket.WaitReadable(kPoll)) continue;
    Socket accepted = listener_->socket.Accept();
    if (!accepted.Valid()) continue;
    std::lock_guard lock(mutex_);
    JoinEndedWorkers();
    const int connection = connections_++;
    workers_.emplace_back([this, connection, socket = std::move(accepted)]() mutable {
      {
        auto channel = listener_->tls ? listener_->tls->Accept(std::move(socket))
                                      : MakePlainChannel(std::move(socket));
        if (channel) Serve(std::move(channel), connection);
      }
      std::lock_guard ended(mutex_);
      ended_workers_.push_back(std::this_thread::get_id());
    });
  }
}

// A peer that serves many connections keeps no thread (nor, on Windows, its handle) of
// those already served.
void TestPeer::JoinEndedWorkers() {
  for (const std::thread::id id : ended_workers_) {
    const auto worker =
        std::find_if(workers_.begin(), workers_.end(),
                     [id](const std::thread& thread) { return thread.get_id() == id; });
    if (worker == workers_.end()) continue;
    worker->join();
    workers_.erase(worker);
  }
  ended_workers_.clear();
}

void TestPeer::Serve(std::unique_ptr<PeerChannel> channel, int connection) {
  std::string buffer;
  char chunk[16384];
  int order = 0;
  // How the request at the front of `buffer` ends: decided when its head is first
  // complete, so that a reply queued later for another request never cuts short one that
  // was already waiting for its body.
  enum class Framing { Undecided, Head, Whole } framing = Framing::Undecided;
  auto idle = std::chrono::steady_clock::now();
  while (!Stopping() && std::chrono::steady_clock::now() - idle < kIdleLimit) {
    const int got = channel->Receive(chunk, sizeof(chunk), kPoll);
    if (got == 0) return;
    if (got < 0) continue;
    idle = std::chrono::steady_clock::now();
    buffer.append(chunk, static_cast<size_t>(got));
    while (true) {
      if (framing == Framing::Undecided && CompleteRequestLength(buffer, true)) {
        framing = NextAnswersAfterHead() ? Framing::Head : Framing::Whole;
      }
      const auto length = CompleteRequestLength(buffer, framing == Framing::Head);
      if (!length) break;
      framing = Framing::Undecided;
      PeerRequest request{buffer.substr(0, *length), connection, order++};
      buffer.erase(0, *length);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      if (!Answer(*channel, NextReply(request)) || WantsClose(request)) {
        channel->Close();
        return;
      }
    }
  }
}

PeerReply TestPeer::NextReply(const PeerRequest& request) {
  std::unique_lock lock(mutex_);
  if (!queue_.empty()) {
    PeerReply reply = std::move(queue_.front());
    queue_.pop_front();
    return reply;
  }
  if (responder_) {
    auto responder = responder_;
    lock.unlock();
    return responder(request);
  }
  return PeerReply::Http("HTTP/1.1 500 No scripted reply");
}

bool TestPeer::NextAnswersAfterHead() const {
  std::lock_guard lock(mutex_);
  return !queue_.empty() && queue_.front().after_head;
}

bool TestPeer::Answer(PeerChannel& channel, const PeerReply& reply) {
  for (const PeerReply::Piece& piece : reply.pieces) {
    std::unique_lock lock(mutex_);
    if (stop_signal_.wait_for(lock, piece.pause, [this] { return stopping_; })) return false;
    lock.unlock();
    if (!channel.Send(piece.bytes)) return false;
  }
  switch (reply.end) {
    case PeerReply::End::KeepOpen:
      return true;
    case PeerReply::End::Close:
      channel.Close();
      return false;
    case PeerReply::End::Reset:
      channel.Reset();
      return false;
  }
  return false;
}

}  // namespace velto::test
