// velto-server: the records server. Prints "listening on URL" once it accepts connections and
// runs until SIGINT or SIGTERM.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <exception>
#include <iostream>
#include <thread>

#include "options.h"
#include "server.h"

namespace {

// A number of seconds: more than zero, or zero too when `zero_allowed`.
CLI::Validator Seconds(bool zero_allowed) {
  return CLI::Validator(
      [zero_allowed](std::string& text) -> std::string {
        double seconds = 0;
        if (!CLI::detail::lexical_cast(text, seconds) || seconds < 0 ||
            (seconds == 0 && !zero_allowed) || seconds > 1e9) {
          return text + " is not a number of seconds" +
                 (zero_allowed ? " (0 or more)" : " (more than 0)");
        }
        return {};
      },
      "SECONDS");
}

// An option shown with its default and checked by `check`.
template <typename T>
void AddChecked(CLI::App& app, const char* name, T& target, const char* help,
                const CLI::Validator& check) {
  app.add_option(name, target, help)->capture_default_str()->check(check);
}

velto::server::Options ParseOptions(int argc, char** argv) {
  velto::server::Options options;
  CLI::App app{
      "velto-server: a records server for Velto.Box hosts, keeping its records in SQLite and the "
      "bytes of uploaded files in a folder.\n"
      "It prints \"listening on URL\" once it accepts connections, logs one line per request on "
      "standard error, and stops on SIGINT or SIGTERM. On first start with an empty database it "
      "creates the user root and prints the number of root's card (\"admin card: NUMBER\")."};
  app.get_formatter()->column_width(34);
  app.add_option("--host", options.host, "address to listen on")->capture_default_str();
  AddChecked(app, "--port", options.port, "port to listen on; 0 picks a free one",
             CLI::Range(0, 65535));
  app.add_option("--db", options.db, "the SQLite database file; made when missing")
      ->capture_default_str();
  app.add_option("--files", options.files, "folder of the uploaded files' bytes; made when missing")
      ->capture_default_str();
  app.add_flag("--memory", options.memory,
               "keep everything in memory and a temporary folder, gone at exit (for tests)");
  app.add_option("--admin-card", options.admin_card,
                 "number of root's card when the database is new (default: random, printed)");
  AddChecked(app, "--session-idle", options.session_idle,
             "seconds after which an unused key ends; 0: never", Seconds(true));
  app.add_option("--tls-cert", options.tls_cert, "PEM certificate (chain): serve HTTPS")
      ->check(CLI::ExistingFile);
  app.add_option("--tls-key", options.tls_key, "PEM private key of --tls-cert")
      ->check(CLI::ExistingFile);
  app.add_option("--max-upload", options.max_upload,
                 "largest file one upload may carry, in bytes or with K, M, G (1024-based)")
      ->transform(CLI::AsSizeValue(false))
      ->default_str("4G");
  AddChecked(app, "--header-deadline", options.header_deadline,
             "seconds a client has to send a request's whole header", Seconds(false));
  AddChecked(app, "--body-deadline", options.body_deadline,
             "seconds a client has to send a request's body, plus one for every "
             "--body-rate bytes of it",
             Seconds(false));
  AddChecked(app, "--body-rate", options.body_rate,
             "bytes of body that earn one more second (the slowest upload rate served)",
             CLI::Range(std::uint64_t{1}, std::uint64_t{1} << 40));
  AddChecked(app, "--workers", options.workers,
             "most connections served at once; more wait for a free worker", CLI::Range(1, 4096));
  AddChecked(app, "--backlog", options.backlog,
             "connections the system queues before the server accepts them", CLI::Range(1, 65535));
  AddChecked(app, "--max-connections-per-address", options.max_connections_per_address,
             "connections one client address may hold open; more are closed at once",
             CLI::Range(1, 65535));
  AddChecked(app, "--first-byte-deadline", options.first_byte_deadline,
             "seconds a new connection has to send its first byte", Seconds(false));
  AddChecked(app, "--login-tries", options.login_tries,
             "failed log-ins in a row from one address before it must wait",
             CLI::Range(1, 1000000));
  AddChecked(app, "--login-wait", options.login_wait,
             "seconds of the first such wait; each further failure doubles it, up to 15 min",
             Seconds(true));
  app.add_flag("--quiet", options.quiet, "no line per request on standard error");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    std::exit(app.exit(error));
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const velto::server::Options options = ParseOptions(argc, argv);
  // The database, its journal and every stored file hold people's records: owner only.
  umask(077);
  // Large bodies and replies get memory of their own, which goes back to the system when
  // they are freed, instead of staying in the allocator's pools.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  // Signals are taken by one waiting thread, so that stopping is an ordinary call.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  try {
    velto::server::VeltoServer server(options);
    server.Bind();
    if (server.new_admin_card() && options.admin_card.empty()) {
      std::cout << "admin card: " << *server.new_admin_card() << "\n";
    }
    std::atomic<bool> done{false};
    std::thread stopper([&server, &stop_signals, &done] {
      int signal_number = 0;
      sigwait(&stop_signals, &signal_number);
      // A stop that comes before the listener loop has started is lost; repeat until it ends.
      while (!done) {
        server.Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
    std::cout << "listening on " << server.Url() << std::endl;
    const bool served = server.Serve();
    done = true;
    // Wakes the stopper when the listener ended by itself.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return served ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "velto-server: " << error.what() << std::endl;
    return 1;
  }
}
