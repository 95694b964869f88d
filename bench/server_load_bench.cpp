// Load on velto-server: 8 keep-alive clients, each repeating a person's life (create, read,
// change, read its site, delete) for a bounded time against a server with its database on disk.
// Prints requests per second, the median and 99th percentile latency, the errors, and the
// server's resident memory at the start and the end.
// VELTO_LOAD_SECONDS sets the time (default 10); VELTO_SERVER runs another build of the server,
// so that two builds can be compared run by run.
#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <rapidjson/document.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kClients = 8;
constexpr const char* kAdminCard = "1234567890123456";
constexpr const char* kSite = "S1";

// velto-server on a free loopback port, its data in a fresh folder; stopped on destruction.
class Server {
 public:
  explicit Server(const std::filesystem::path& folder) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const char* chosen = std::getenv("VELTO_SERVER");
    std::vector<std::string> command = {chosen != nullptr ? chosen : VELTO_SERVER_PATH,
                                        "--port",
                                        "0",
                                        "--quiet",
                                        "--admin-card",
                                        kAdminCard,
                                        "--db",
                                        (folder / "velto.db").string(),
                                        "--files",
                                        (folder / "files").string()};
    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
      close(out[0]);
      throw std::runtime_error("cannot start velto-server");
    }
    port_ = ReadPort(out[0]);
    close(out[0]);
    if (port_ == 0) throw std::runtime_error("velto-server did not report its address");
  }
  ~Server() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  int port() const { return port_; }

  // Resident memory in KiB, from the kernel's account of the process.
  long ResidentKib() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string word;
    while (status >> word) {
      if (word == "VmRSS:") {
        long kib = 0;
        status >> kib;
        return kib;
      }
    }
    return 0;
  }

 private:
  // Reads the "listening on http://HOST:PORT" line, waiting at most 30 s.
  static int ReadPort(int fd) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    std::string line;
    char c = 0;
    while (Clock::now() < deadline) {
      pollfd waiting{fd, POLLIN, 0};
      if (poll(&waiting, 1, 100) <= 0) continue;
      if (read(fd, &c, 1) != 1) return 0;
      if (c != '\n') {
        line += c;
      } else if (line.rfind("listening on ", 0) == 0) {
        return std::atoi(line.c_str() + line.rfind(':') + 1);
      } else {
        line.clear();
      }
    }
    return 0;
  }

  pid_t pid_ = -1;
  int port_ = 0;
};

bool Succeeded(const httplib::Result& result) {
  if (!result || result->status != 200) return false;
  rapidjson::Document reply;
  reply.Parse(result->body.c_str());
  return reply.IsObject() && reply.HasMember("code") && reply["code"] == "100";
}

std::string LogIn(int port) {
  httplib::Client client("127.0.0.1", port);
  const auto result = client.Post("/user-card/0/gate", kAdminCard, "application/json");
  rapidjson::Document reply;
  if (result) reply.Parse(result->body.c_str());
  if (!reply.IsObject() || !reply.HasMember("value") || !reply["value"].IsObject()) {
    throw std::runtime_error("log-in failed");
  }
  return reply["value"]["id"].GetString();
}

struct ClientTally {
  std::vector<double> latencies_ms;
  long errors = 0;
};

// One keep-alive client repeating a person's life until `until`.
void RunClient(int port, const std::string& key, int number, Clock::time_point until,
               ClientTally& tally) {
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  const httplib::Headers headers = {{"key-id", key}};
  const std::string site = kSite;
  auto timed = [&](auto request) {
    const auto start = Clock::now();
    const httplib::Result result = request();
    tally.latencies_ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (!Succeeded(result)) ++tally.errors;
  };
  for (long round = 0; Clock::now() < until; ++round) {
    std::string id = std::to_string(number);
    id.append("-").append(std::to_string(round));
    const std::string person = "/person/" + site + "/" + id;
    timed([&] {
      return client.Post("/persons/" + site, headers,
                         R"({"id":")" + id + R"(","name":"Kim","gender":"F","birth":"19800101"})",
                         "application/json");
    });
    timed([&] { return client.Get(person, headers); });
    timed([&] {
      return client.Put(person, headers, R"({"name":"Lee","phone":"010"})", "application/json");
    });
    timed([&] { return client.Get("/site/" + site, headers); });
    timed([&] { return client.Delete(person, headers); });
  }
}

double Percentile(const std::vector<double>& sorted, double fraction) {
  if (sorted.empty()) return 0;
  const auto index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1));
  return sorted[index];
}

}  // namespace

int main() {
  const char* chosen_seconds = std::getenv("VELTO_LOAD_SECONDS");
  const double seconds = chosen_seconds != nullptr ? std::atof(chosen_seconds) : 10;
  if (seconds <= 0 || seconds > 600) {
    std::cerr << "bench_server_load: VELTO_LOAD_SECONDS must be more than 0 and at most 600\n";
    return 2;
  }
  try {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velto-load-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    long rss_start = 0;
    long rss_end = 0;
    std::vector<ClientTally> tallies(kClients);
    double elapsed = 0;
    {
      Server server(folder);
      const std::string key = LogIn(server.port());
      httplib::Client admin("127.0.0.1", server.port());
      if (!Succeeded(admin.Post("/sites", {{"key-id", key}}, R"({"id":"S1","name":"Load"})",
                                "application/json"))) {
        throw std::runtime_error("cannot create the site");
      }
      rss_start = server.ResidentKib();
      const auto start = Clock::now();
      const Clock::time_point until = start + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(seconds));
      std::vector<std::thread> clients;
      for (int i = 0; i < kClients; ++i) {
        clients.emplace_back(RunClient, server.port(), key, i, until, std::ref(tallies[i]));
      }
      for (std::thread& client : clients) client.join();
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      rss_end = server.ResidentKib();
    }
    std::filesystem::remove_all(folder);

    std::vector<double> latencies;
    long errors = 0;
    for (const ClientTally& tally : tallies) {
      latencies.insert(latencies.end(), tally.latencies_ms.begin(), tally.latencies_ms.end());
      errors += tally.errors;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf(
        "clients %d, %.1f s: %zu requests, %.0f requests/s, p50 %.2f ms, p99 %.2f ms, "
        "errors %ld, RSS %.1f -> %.1f MB\n",
        kClients, elapsed, latencies.size(), static_cast<double>(latencies.size()) / elapsed,
        Percentile(latencies, 0.5), Percentile(latencies, 0.99), errors,
        static_cast<double>(rss_start) / 1024, static_cast<double>(rss_end) / 1024);
    return errors == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "bench_server_load: " << error.what() << "\n";
    return 1;
  }
}
