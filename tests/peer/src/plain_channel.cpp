#include "peer_channel.h"

namespace velto::test {
namespace {

class PlainChannel : public PeerChannel {
 public:
  explicit PlainChannel(Socket socket) : socket_(std::move(socket)) {}

  int Receive(char* buffer, size_t capacity, std::chrono::milliseconds wait) override {
    if (!socket_.WaitReadable(wait)) return -1;
    const int got = socket_.Receive(buffer, capacity);
    return got > 0 ? got : 0;
  }
  bool Send(std::string_view bytes) override { return socket_.SendAll(bytes); }
  void Close() override { socket_.CloseNow(); }
  void Reset() override { socket_.ResetNow(); }

 private:
  Socket socket_;
};

}  // namespace

std::unique_ptr<PeerChannel> MakePlainChannel(Socket socket) {
  return std::make_unique<PlainChannel>(std::move(socket));
}

}  // namespace velto::test
