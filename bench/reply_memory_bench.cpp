// Peak memory of a pass-through export whose reply is large: User_Get through the C ABI,
// from the wire to the returned BSTR, for a value that is one long ASCII string of 1, 10
// and 40 MiB and for a list of 20,000 persons. Each case runs in a child process of its
// own; its figure is the child's peak memory during the call above what it held before,
// as a multiple of the reply's size. A string's factor should stay at most 4.
//
// Google Benchmark flags are accepted; a --benchmark_filter that does not match
// "ReplyMemory" skips the program.

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "benchmark_filter.h"
#include "child_process.h"
#include "process_memory.h"
#include "velto/unicode.h"
#include "velto_box.h"

namespace velto::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kChildMode = "--reply-memory-child";
constexpr double kStringFactorTarget = 4;

struct Case {
  std::string name;
  std::string value;  // JSON
  bool is_string;
};

std::string LongString(size_t bytes) {
  return '"' + std::string(bytes, 'x') + '"';
}

// 20,000 persons of about 115 bytes each.
std::string Persons() {
  std::string list = "[";
  char person[160];
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(person, sizeof person,
                  R"(%s{"id":"p%06d","name":"Person %06d","birthDate":"1970-01-%02d","sex":"F",)"
                  R"("phone":"010-%04d-%04d","siteId":"site-01"})",
                  i == 0 ? "" : ",", i, i, i % 28 + 1, i % 10000, (i * 7) % 10000);
    list += person;
  }
  return list + "]";
}

std::string Envelope(std::string_view value) {
  return R"({"code":"100","message":"ok","value":)" + std::string(value) + "}";
}

// The records server as far as the export needs it: a live session, a small value for the
// warm-up call, and the case's value.
class Responder {
 public:
  explicit Responder(const std::string& value) : reply_(Envelope(value)) {
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      const bool gate = request.path.ends_with("/gate");
      const bool warm_up = request.path.find("warm") != std::string::npos;
      response.set_content(gate      ? Envelope("true")
                           : warm_up ? Envelope("\"w\"")
                                     : reply_,
                           "application/json; charset=utf-8");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("the responder cannot listen");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 5000 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  Responder(const Responder&) = delete;
  Responder& operator=(const Responder&) = delete;
  ~Responder() {
    server_.stop();
    thread_.join();
  }

  std::string Root() const { return "http://127.0.0.1:" + std::to_string(port_); }
  size_t ReplySize() const { return reply_.size(); }

 private:
  std::string reply_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

class HostText {
 public:
  explicit HostText(std::string_view utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    bstr_ = VeltoAllocString(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<uint32_t>(text.size()));
  }
  HostText() = default;
  HostText(const HostText&) = delete;
  HostText& operator=(const HostText&) = delete;
  ~HostText() { VeltoFreeString(bstr_); }
  BSTR Get() const { return bstr_; }
  BSTR* Out() { return &bstr_; }

 private:
  BSTR bstr_ = nullptr;
};

void CallUserGet(std::string_view id) {
  const HostText user(id);
  HostText result;
  User_Get(user.Get(), result.Out());
  const std::u16string_view text(reinterpret_cast<const char16_t*>(result.Get()),
                                 result.Get() == nullptr ? 0 : 20);
  if (!text.starts_with(u"{\"code\":\"SUCCESS\"") && !text.starts_with(u"{\r\n")) {
    throw std::runtime_error("User_Get did not succeed");
  }
}

int Child(const std::string& root, const std::string& report) {
  try {
    const HostText server(root), card("4000123412341234"), site("s1");
    VeltoInit(server.Get(), card.Get(), site.Get());
    CallUserGet("warm");  // loads and sets up everything a call needs
    const uint64_t before = OwnResidentKib();
    CallUserGet("large");
    std::ofstream(report) << OwnPeakKib() - before << '\n';
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "child: " << failure.what() << '\n';
  }
  return 1;
}

bool Skipped(int argc, char** argv) {
  constexpr std::string_view kFilter = "--benchmark_filter=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kFilter) && argument.size() > kFilter.size() &&
        !FilterMatches(std::string(argument.substr(kFilter.size())), "ReplyMemory")) {
      return true;
    }
  }
  return false;
}

int RunBench() {
  const fs::path report =
      fs::temp_directory_path() / ("velto-reply-memory-" + std::to_string(getpid()) + ".txt");
  std::vector<Case> cases;
  for (size_t mib : {1, 10, 40}) {
    cases.push_back({"string " + std::to_string(mib) + " MiB", LongString(mib << 20), true});
  }
  cases.push_back({"20,000 persons", Persons(), false});
  int status = 0;
  for (const Case& c : cases) {
    const Responder responder(c.value);
    const ChildRun run =
        RunChild({"/proc/self/exe", std::string(kChildMode), responder.Root(), report.string()});
    const uint64_t increase_kib = ReadPeakReport(report);
    fs::remove(report);
    if (!run.succeeded || increase_kib == 0) {
      std::cout << c.name << ": the child failed\n";
      status = 1;
      continue;
    }
    const double factor = static_cast<double>(increase_kib) * 1024 / responder.ReplySize();
    const bool missed = c.is_string && factor > kStringFactorTarget;
    std::printf("ReplyMemory %-16s reply %9zu bytes  peak +%7llu KiB  factor %.2f%s\n",
                c.name.c_str(), responder.ReplySize(),
                static_cast<unsigned long long>(increase_kib), factor,
                missed ? "  MISSED (target 4)" : "");
    std::fflush(stdout);
  }
  return status;
}

}  // namespace
}  // namespace velto::bench

int main(int argc, char** argv) {
  using namespace velto::bench;
  if (argc == 4 && argv[1] == kChildMode) return Child(argv[2], argv[3]);
  try {
    return Skipped(argc, argv) ? 0 : RunBench();
  } catch (const std::exception& failure) {
    std::cerr << "bench_reply_memory: " << failure.what() << '\n';
    return 1;
  }
}
