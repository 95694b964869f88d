// What arrives over a connection: bodies framed wrongly or cut short, clients too slow to
// finish a request, bursts of connections.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "server_fixture.h"

namespace velto::test {
namespace {

using ConnectionTest = ServerTest;

// A request for a new site whose body is `body`, framed by `headers`.
std::string SiteRequest(const std::string& key, const std::string& headers,
                        const std::string& body) {
  return "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + key +
         "\r\nContent-Type: application/json\r\n" + headers + "\r\n" + body;
}

TEST_F(ConnectionTest, BodiesThatDoNotEndAsFramedStoreNothing) {
  Api api = RootApi();
  const std::string site = R"({"id":"framed","name":"n"})";  // 26 bytes
  const std::string chunk = "1a\r\n" + site + "\r\n";
  struct Case {
    const char* what;
    std::string headers;
    std::string body;
  };
  const Case cases[] = {
      {"shorter than its length", "Content-Length: 100\r\n", site},
      {"a negative length", "Content-Length: -1\r\n", site},
      {"a length that is no number", "Content-Length: 26x\r\n", site},
      {"an absurd length", "Content-Length: 99999999999999999999999\r\n", site},
      {"two different lengths", "Content-Length: 26\r\nContent-Length: 27\r\n", site + " "},
      {"chunks without the last one", "Transfer-Encoding: chunked\r\n", chunk},
      {"chunks and a length", "Transfer-Encoding: chunked\r\nContent-Length: 36\r\n",
       chunk + "0\r\n\r\n"},
      {"an unknown transfer coding", "Transfer-Encoding: gzip\r\n", site},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Reply reply = ReplyOf(
        RawExchange(server().host(), server().port(), SiteRequest(api.key(), c.headers, c.body)));
    EXPECT_TRUE(reply.status == 400 || reply.code() == "303") << reply.status << " " << reply.body;
    EXPECT_EQ(api.Get("/site/framed").code(), "301");
  }
  // The same site, framed right, either way.
  for (const std::string& framing : {"Content-Length: 26\r\n\r\n" + site,
                                     "Transfer-Encoding: chunked\r\n\r\n" + chunk + "0\r\n\r\n"}) {
    const std::string request =
        "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() + "\r\n" + framing;
    EXPECT_EQ(ReplyOf(RawExchange(server().host(), server().port(), request)).code(), "100");
    EXPECT_EQ(api.Delete("/site/framed").code(), "100");
  }
}

TEST_F(ConnectionTest, AHeaderTooLongIsRefused) {
  const std::string request =
      "GET /sites HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(100 * 1024, 'x') + "\r\n\r\n";
  const std::string reply = RawExchange(server().host(), server().port(), request);
  EXPECT_EQ(reply.find("200 OK"), std::string::npos) << reply.substr(0, 100);
  Api api = RootApi();
  EXPECT_EQ(api.Get("/sites").code(), "100");
}

TEST_F(ConnectionTest, ARequestBodyIsNotTakenForTheNextRequest) {
  Api api = RootApi();
  // A GET with a body, and a refused POST, on connections kept alive: what follows each in
  // the same bytes must not run as a request of its own.
  const std::string smuggled = "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                               "\r\nContent-Length: 26\r\n\r\n" + R"({"id":"smuggled","name":"n"})";
  const std::string get = "GET /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                          "\r\nContent-Length: " + std::to_string(smuggled.size()) + "\r\n\r\n";
  const std::string refused =
      "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: wrong\r\nContent-Length: " +
      std::to_string(smuggled.size()) + "\r\n\r\n";
  for (const std::string& first : {get, refused}) {
    RawExchange(server().host(), server().port(), first + smuggled);
    EXPECT_EQ(api.Get("/site/smuggled").code(), "301");
  }
}

// A connection that sends a request's first bytes and then one byte now and then.
class Trickle {
 public:
  Trickle(const ServerProcess& server, std::string request) : request_(std::move(request)) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server.port()));
    inet_pton(AF_INET, server.host().c_str(), &address.sin_addr);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Trickle() { close(fd_); }
  // Sends the next byte; false once the server has closed the connection.
  bool Step() {
    if (!connected_ || sent_ >= request_.size()) return false;
    if (send(fd_, request_.data() + sent_, 1, MSG_NOSIGNAL) != 1) return false;
    ++sent_;
    char buffer[4096];
    ssize_t received = 0;
    while ((received = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
    }
    return received != 0;  // 0: the server closed it
  }

 private:
  std::string request_;
  int fd_ = -1;
  bool connected_ = false;
  size_t sent_ = 0;
};

TEST(SlowClientTest, SlowConnectionsDoNotStopTheServerForOthers) {
  // A deadline far away: only the pool keeps the server answering.
  ServerProcess server(
      {"--memory", "--header-deadline", "600", "--max-connections-per-address", "64", "--quiet"});
  std::vector<std::unique_ptr<Trickle>> slow;
  for (int i = 0; i < 40; ++i) {
    slow.push_back(std::make_unique<Trickle>(server, "GET /sites HTTP/1.1\r\nHost: x\r\n"));
  }
  std::atomic<bool> done{false};
  std::thread trickling([&] {
    // Bounded: a byte per connection every 500 ms, while the other client works.
    for (int round = 0; round < 60 && !done; ++round) {
      for (auto& connection : slow) connection->Step();
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  });
  Api api(server);
  EXPECT_EQ(api.LogIn(server.admin_card()).code(), "100");
  EXPECT_EQ(api.Get("/sites").code(), "100");
  done = true;
  trickling.join();
}

TEST(SlowClientTest, AClientTooSlowWithItsRequestIsCutOff) {
  ServerProcess server({"--memory", "--header-deadline", "1", "--body-deadline", "1", "--quiet"});
  Api api(server);
  api.LogIn(server.admin_card());
  const std::string body = R"({"id":"slow","name":"n"})";
  const std::string requests[] = {
      "GET /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() + "\r\n\r\n",
      "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
          "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body,
  };
  // The GET trickles from its first byte; the POST sends its header and two bytes of its body
  // at once, then trickles.
  const size_t fast_bytes[] = {0, requests[1].find("\r\n\r\n") + 6};
  for (int i = 0; i < 2; ++i) {
    Trickle trickle(server, requests[i]);
    size_t sent = 0;
    bool open = true;
    while (open && sent < requests[i].size()) {
      open = trickle.Step();
      if (++sent > fast_bytes[i]) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_FALSE(open) << "the server waited for the whole request: " << requests[i].substr(0, 20);
  }
  EXPECT_EQ(api.Get("/site/slow").code(), "301");
}

// A connection from 127.0.0.1 that sends nothing.
class Silent {
 public:
  explicit Silent(const ServerProcess& server) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server.port()));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    EXPECT_EQ(connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  Silent(const Silent&) = delete;
  Silent& operator=(const Silent&) = delete;
  ~Silent() { close(fd_); }
  // Whether the server has closed it, waiting at most `wait`.
  bool ClosedWithin(std::chrono::milliseconds wait) {
    pollfd readable{fd_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(wait.count())) <= 0) return false;
    char byte = 0;
    return recv(fd_, &byte, 1, MSG_DONTWAIT) <= 0;
  }

 private:
  int fd_;
};

// The code of a request from `source` that needs a key and has none ("401"); empty when the
// connection was closed without a reply.
std::string CodeOfKeylessRequest(const ServerProcess& server, const std::string& source) {
  const std::string request = "GET /sites HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
  return ReplyOf(RawExchange(server.host(), server.port(), request, {.source = source})).code();
}

TEST(FloodTest, OneAddressCannotTakeEveryWorker) {
  ServerProcess server({"--memory", "--workers", "8", "--max-connections-per-address", "4",
                        "--first-byte-deadline", "600", "--quiet"});
  constexpr size_t kFlood = 40;
  constexpr size_t kCap = 4;
  std::vector<std::unique_ptr<Silent>> flood;
  for (size_t i = 0; i < kFlood; ++i) flood.push_back(std::make_unique<Silent>(server));
  // Those beyond the cap are closed at once; those within it stay open.
  std::vector<bool> closed(kFlood, false);
  size_t closed_count = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (closed_count < kFlood - kCap && std::chrono::steady_clock::now() < until) {
    for (size_t i = 0; i < kFlood; ++i) {
      if (!closed[i] && flood[i]->ClosedWithin(std::chrono::milliseconds(10))) {
        closed[i] = true;
        ++closed_count;
      }
    }
  }
  EXPECT_EQ(closed_count, kFlood - kCap);
  // Another address is served meanwhile; the flooding one gets no more.
  EXPECT_EQ(CodeOfKeylessRequest(server, "127.0.0.2"), "401");
  EXPECT_EQ(CodeOfKeylessRequest(server, "127.0.0.1"), "");
  for (size_t i = 0; i < kFlood; ++i) {
    if (!closed[i]) {
      EXPECT_FALSE(flood[i]->ClosedWithin(std::chrono::milliseconds(0)));
    }
  }
  // Its closed connections give their places back.
  flood.clear();
  std::string code;
  for (int attempt = 0; attempt < 100 && code.empty(); ++attempt) {
    code = CodeOfKeylessRequest(server, "127.0.0.1");
    if (code.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(code, "401");
}

TEST(FloodTest, AConnectionThatSendsNothingIsClosedSoon) {
  // Far below the 5 s a connection may wait between its requests.
  ServerProcess server({"--memory", "--workers", "2", "--first-byte-deadline", "0.5", "--quiet"});
  Silent first(server);
  Silent second(server);
  EXPECT_TRUE(first.ClosedWithin(std::chrono::seconds(4)));
  EXPECT_TRUE(second.ClosedWithin(std::chrono::seconds(4)));
  EXPECT_EQ(CodeOfKeylessRequest(server, "127.0.0.2"), "401");
}

TEST(ListenQueueTest, BurstsOfConnectionsFindRoomInTheQueue) {
  if (std::system("command -v ss >/dev/null 2>&1") != 0) {
    std::cerr << "\n!!! ss (iproute2) IS NOT INSTALLED: THE LISTEN QUEUE IS NOT CHECKED !!!\n\n";
    GTEST_SKIP() << "ss is not installed";
  }
  ServerProcess server({"--memory", "--backlog", "777", "--quiet"});
  // For a listening socket ss shows the length of its queue as Send-Q.
  const std::string command =
      "ss -Hltn 'sport = :" + std::to_string(server.port()) + "' | awk '{print $3}'";
  std::string queue;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[64] = "";
    if (fgets(buffer, sizeof buffer, pipe) != nullptr) queue = buffer;
    pclose(pipe);
  }
  EXPECT_EQ(queue, "777\n");
}

}  // namespace
}  // namespace velto::test
