// Small exchanges through the library's HTTP transport against a loopback server: what each
// request costs the client beside the network, which a large transfer hides. GET, PUT and
// DELETE run on one kept-alive connection; every POST opens a connection of its own.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <string>
#include <thread>

#include "velto/transport.h"

namespace velto::bench {
namespace {

constexpr const char* kReply = R"({"code":"100","message":"OK","value":true})";

class LoopbackServer {
 public:
  LoopbackServer() {
    const auto reply = [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Set-Cookie", "SID=abc; Path=/");
      response.set_content(kReply, "application/json");
    };
    server_.Get("/small", reply);
    server_.Post("/small", reply);
    server_.set_keep_alive_max_count(1 << 30);
    // A reply goes out in two writes; with Nagle's delay each kept-alive exchange would wait
    // for the client's delayed acknowledgement and measure that instead.
    server_.set_tcp_nodelay(true);
    // Listening from here on: a client that connects before the thread accepts waits.
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer() {
    server_.stop();
    thread_.join();
  }

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/small"; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

class DiscardingSink : public BodySink {
 public:
  void Write(const char*, size_t) override {}
};

void Exchanges(benchmark::State& state, HttpVerb verb) {
  const LoopbackServer server;
  const auto transport = MakeTransport({});
  HttpRequest request;
  request.verb = verb;
  request.url = server.Url();
  DiscardingSink sink;
  for (auto _ : state) {
    if (transport->Send(request, sink, nullptr).status != 200) {
      state.SkipWithError("the server did not answer 200");
      break;
    }
  }
}

BENCHMARK_CAPTURE(Exchanges, KeptAliveGet, HttpVerb::Get)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Exchanges, PostOnAFreshConnection, HttpVerb::Post)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velto::bench

BENCHMARK_MAIN();
