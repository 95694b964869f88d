#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <stdexcept>

#include "peer_channel.h"
#include "velto/test_peer.h"

namespace velto::test {
namespace {

struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using SslPtr = std::unique_ptr<SSL, SslFree>;

class TlsChannel : public PeerChannel {
 public:
  TlsChannel(Socket socket, SslPtr ssl) : socket_(std::move(socket)), ssl_(std::move(ssl)) {}

  int Receive(char* buffer, size_t capacity, std::chrono::milliseconds wait) override {
    if (SSL_pending(ssl_.get()) == 0 && !socket_.WaitReadable(wait)) return -1;
    const int got = SSL_read(ssl_.get(), buffer, static_cast<int>(capacity));
    if (got > 0) return got;
    const int error = SSL_get_error(ssl_.get(), got);
    return error == SSL_ERROR_WANT_READ ? -1 : 0;
  }
  bool Send(std::string_view bytes) override {
    size_t written = 0;
    return bytes.empty() || SSL_write_ex(ssl_.get(), bytes.data(), bytes.size(), &written) == 1;
  }
  void Close() override {
    SSL_shutdown(ssl_.get());
    socket_.CloseNow();
  }
  void Reset() override { socket_.ResetNow(); }

 private:
  Socket socket_;
  SslPtr ssl_;
};

}  // namespace

struct TlsServer::Context {
  SSL_CTX* ctx = nullptr;
  ~Context() { SSL_CTX_free(ctx); }
};

TlsServer::TlsServer() : context_(std::make_unique<Context>()) {
  context_->ctx = SSL_CTX_new(TLS_server_method());
  X509* certificate = nullptr;
  EVP_PKEY* key = nullptr;
  if (BIO* bio = BIO_new_mem_buf(TestCertificatePem().data(), -1)) {
    certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
  }
  if (BIO* bio = BIO_new_mem_buf(TestKeyPem().data(), -1)) {
    key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
  }
  const bool loaded = certificate != nullptr && key != nullptr &&
                      SSL_CTX_use_certificate(context_->ctx, certificate) == 1 &&
                      SSL_CTX_use_PrivateKey(context_->ctx, key) == 1;
  X509_free(certificate);
  EVP_PKEY_free(key);
  if (!loaded) throw std::runtime_error("the test certificate could not be loaded");
}

TlsServer::~TlsServer() = default;

std::unique_ptr<PeerChannel> TlsServer::Accept(Socket socket) {
  socket.SetReceiveTimeout(std::chrono::seconds(5));  // bounds the handshake
  SslPtr ssl(SSL_new(context_->ctx));
  SSL_set_fd(ssl.get(), socket.Native());
  if (SSL_accept(ssl.get()) != 1) {
    ERR_clear_error();
    return nullptr;
  }
  return std::make_unique<TlsChannel>(std::move(socket), std::move(ssl));
}

}  // namespace velto::test
