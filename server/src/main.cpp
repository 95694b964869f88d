// velto-server: the records server. Prints "listening on URL" once it accepts connections and
// runs until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <exception>
#include <iostream>
#include <thread>

#include "options.h"
#include "server.h"

namespace {

velto::server::Options ParseOptions(int argc, char** argv) {
  velto::server::Options options;
  CLI::App app{"velto-server: a records server on SQLite"};
  app.add_option("--host", options.host, "address to listen on")->capture_default_str();
  app.add_option("--port", options.port, "port to listen on; 0 picks a free one")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
  app.add_option("--db", options.db, "SQLite database file")->capture_default_str();
  app.add_option("--files", options.files, "folder of the uploaded files")->capture_default_str();
  app.add_flag("--memory", options.memory, "in-memory database and a temporary files folder");
  app.add_option("--admin-card", options.admin_card,
                 "the root user's card number when the database is new (default: random)");
  app.add_option("--session-idle", options.session_idle,
                 "seconds after which an unused key ends; 0: never")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--tls-cert", options.tls_cert, "PEM certificate: serve HTTPS")
      ->check(CLI::ExistingFile);
  app.add_option("--tls-key", options.tls_key, "PEM private key of --tls-cert")
      ->check(CLI::ExistingFile);
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
