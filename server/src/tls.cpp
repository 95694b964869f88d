#include "tls.h"

#include <openssl/err.h>

#include <stdexcept>

namespace velto::server {
namespace {

std::string OpenSslError() {
  const unsigned long code = ERR_get_error();
  char text[256] = "unknown error";
  if (code != 0) ERR_error_string_n(code, text, sizeof text);
  ERR_clear_error();
  return text;
}

}  // namespace

TlsContext::TlsContext(const std::string& certificate, const std::string& key)
    : context_(SSL_CTX_new(TLS_server_method())) {
  if (!context_ || SSL_CTX_set_min_proto_version(context_.get(), TLS1_2_VERSION) != 1) {
    throw std::runtime_error("cannot set up TLS: " + OpenSslError());
  }
  SSL_CTX_set_mode(context_.get(),
                   SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(context_.get(), certificate.c_str()) != 1) {
    throw std::runtime_error("cannot use the TLS certificate " + certificate + ": " +
                             OpenSslError());
  }
  if (SSL_CTX_use_PrivateKey_file(context_.get(), key.c_str(), SSL_FILETYPE_PEM) != 1) {
    throw std::runtime_error("cannot use the TLS key " + key + ": " + OpenSslError());
  }
  if (SSL_CTX_check_private_key(context_.get()) != 1) {
    throw std::runtime_error("the TLS key " + key + " does not belong to the certificate " +
                             certificate);
  }
}

TlsChannel::TlsChannel(const TlsContext& context, int fd) : fd_(fd), ssl_(SSL_new(context.get())) {
  if (!ssl_ || SSL_set_fd(ssl_.get(), fd) != 1) throw std::runtime_error("cannot start TLS");
}

bool TlsChannel::Handshake(std::chrono::steady_clock::time_point until) {
  while (true) {
    Wait wait = Wait::kNothing;
    if (Moved(SSL_accept(ssl_.get()), wait) > 0) return true;
    if (wait == Wait::kNothing || !WaitForSocket(fd_, wait, until)) return false;
  }
}

void TlsChannel::Close() {
  SSL_shutdown(ssl_.get());
  ERR_clear_error();
}

ssize_t TlsChannel::Moved(int result, Wait& wait) {
  wait = Wait::kNothing;
  if (result > 0) return result;
  switch (SSL_get_error(ssl_.get(), result)) {
    case SSL_ERROR_WANT_READ:
      wait = Wait::kRead;
      return -1;
    case SSL_ERROR_WANT_WRITE:
      wait = Wait::kWrite;
      return -1;
    case SSL_ERROR_ZERO_RETURN:
      return 0;
    default:
      ERR_clear_error();
      return -1;
  }
}

ssize_t TlsChannel::Receive(char* data, size_t size, Wait& wait) {
  return Moved(SSL_read(ssl_.get(), data, static_cast<int>(std::min<size_t>(size, INT32_MAX))),
               wait);
}

ssize_t TlsChannel::Send(const char* data, size_t size, Wait& wait) {
  return Moved(SSL_write(ssl_.get(), data, static_cast<int>(std::min<size_t>(size, INT32_MAX))),
               wait);
}

}  // namespace velto::server
