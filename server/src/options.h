#pragma once

#include <cstdint>
#include <string>

namespace velto::server {

// How the server runs; filled from the command line, where each is explained.
struct Options {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string db = "./velto.db";
  std::string files = "./velto-files/";
  bool memory = false;
  std::string admin_card;
  double session_idle = 3600;  // seconds; 0 keeps keys until log-out
  std::string tls_cert;
  std::string tls_key;
  std::uint64_t max_upload = std::uint64_t{4} << 30;
  double header_deadline = 10;  // seconds
  double body_deadline = 60;    // seconds, and one more for every body_rate bytes
  std::uint64_t body_rate = 8 * 1024;
  int workers = 256;
  int backlog = 1024;
  int max_connections_per_address = 32;
  double first_byte_deadline = 3;  // seconds
  int login_tries = 5;
  double login_wait = 1;  // seconds
  bool quiet = false;
};

}  // namespace velto::server
