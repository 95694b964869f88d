#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <charconv>
#include <exception>
#include <mutex>
#include <string_view>

#include "velto/ascii_case.h"
#include "velto/reply_budget.h"
#include "velto/transfer_progress.h"
#include "velto/transport.h"
#include "velto/unicode.h"
#include "velto/url_credentials.h"

namespace velto {
namespace {

struct EasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ShareCleanup {
  void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};
struct ListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListFree>;
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using MultiHandle = std::unique_ptr<CURLM, MultiCleanup>;
using ShareHandle = std::unique_ptr<CURLSH, ShareCleanup>;

// A reply body reaches the sink in pieces of at most this size. libcurl's 16 KiB default
// costs a large download about a tenth more processor time (receive calls, sink calls and
// host-stream writes); the memory it holds stays bounded whatever the body's size.
constexpr long kReceiveBufferSize = 256 * 1024;

bool IsSuccess(int status) {
  return status >= 200 && status < 300;
}

// What one request's callbacks share. No exception may cross libcurl: a callback keeps
// what it caught and aborts the transfer, and Send raises it afterwards.
struct Exchange {
  Exchange(CURL* handle, const HttpRequest& req, const TransportSettings& settings,
           BodySink& body_sink, ProgressSink* progress)
      : easy(handle),
        request(req),
        sink(body_sink),
        budget(settings, req.download),
        upload(progress, WorkMode::Write),
        download(progress, WorkMode::Read) {}

  CURL* easy;
  const HttpRequest& request;
  BodySink& sink;
  ReplyBudget budget;
  TransferProgress upload;
  TransferProgress download;
  uint64_t sent = 0;
  std::string status_line;
  int status = 0;
  bool headers_ended = false;  // the blank line after the final header block arrived
  std::exception_ptr failure;
};

// The code of a status line ("HTTP/1.1 200 OK"); 0 when it names none. Read within the
// line: libcurl's header data does not end in a NUL.
int StatusCode(std::string_view status_line) {
  const size_t space = status_line.find(' ');
  if (space == std::string_view::npos) return 0;
  const std::string_view rest = status_line.substr(space + 1);
  int code = 0;
  std::from_chars(rest.data(), rest.data() + rest.size(), code);
  return code;
}

// A body announced larger than the limit is refused before any of it is read.
bool CheckAnnouncedLength(Exchange& exchange) {
  curl_off_t announced = -1;
  curl_easy_getinfo(exchange.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  try {
    exchange.budget.CheckAnnounced(exchange.status, announced);
    return true;
  } catch (...) {
    exchange.failure = std::current_exception();
    return false;
  }
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  std::string_view line(data, size * count);
  // libcurl takes "HTTP/" in any letter case; so must the status line kept for messages.
  if (AsciiLowerCase(line.substr(0, 5)) == "http/") {  // the last one wins over interim 1xx
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    exchange.status_line = line;
    exchange.status = StatusCode(line);
    exchange.headers_ended = false;
  } else if (line == "\r\n" || line == "\n") {
    exchange.headers_ended = true;
    return CheckAnnouncedLength(exchange) ? size * count : 0;
  }
  return size * count;
}

size_t OnRead(char* buffer, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  try {
    BodySource& body = *exchange.request.body;
    exchange.upload.Begin(static_cast<int64_t>(body.Size()));
    const uint64_t left = body.Size() - exchange.sent;
    const size_t got =
        body.Read(buffer, static_cast<size_t>(std::min<uint64_t>(size * count, left)));
    exchange.sent += got;
    exchange.upload.Advance(got);
    if (exchange.sent == body.Size()) exchange.upload.End();
    return got;
  } catch (...) {
    exchange.failure = std::current_exception();
    return CURL_READFUNC_ABORT;
  }
}

int OnSeek(void* user, curl_off_t offset, int origin) {
  auto& exchange = *static_cast<Exchange*>(user);
  if (offset != 0 || origin != SEEK_SET) return CURL_SEEKFUNC_CANTSEEK;
  try {
    if (!exchange.request.body->Rewind()) return CURL_SEEKFUNC_CANTSEEK;
    exchange.sent = 0;
    exchange.upload.Restart();
    return CURL_SEEKFUNC_OK;
  } catch (...) {
    exchange.failure = std::current_exception();
    return CURL_SEEKFUNC_FAIL;
  }
}

size_t OnWrite(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const size_t bytes = size * count;
  try {
    if (!exchange.download.Begun()) {
      curl_off_t expected = -1;
      curl_easy_getinfo(exchange.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
      exchange.download.Begin(expected < 0 ? 0 : expected);  // 0: the reply names no length
    }
    exchange.budget.Take(bytes);
    if (IsSuccess(exchange.status)) exchange.sink.Write(data, bytes);
    exchange.download.Advance(bytes);
    return bytes;
  } catch (...) {
    exchange.failure = std::current_exception();
    return 0;
  }
}

// Adds the extra PEM bundle to the trust store that libcurl set up, instead of replacing it.
CURLcode AddAuthorities(CURL*, void* ssl_ctx, void* user) {
  const auto& file = *static_cast<const std::string*>(user);
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(ssl_ctx));
  return X509_STORE_load_file(store, file.c_str()) == 1 ? CURLE_OK : CURLE_SSL_CACERT_BADFILE;
}

EasyHandle NewEasy(CURLSH* share) {
  EasyHandle easy(curl_easy_init());
  if (!easy) throw TransportError(u"The HTTP client could not be started");
  curl_easy_setopt(easy.get(), CURLOPT_SHARE, share);
  return easy;
}

// What outlives every handle beside the open connections: the in-memory cookies, and the
// name lookups and TLS sessions a new connection may use again.
ShareHandle NewShare() {
  static std::once_flag global;
  std::call_once(global, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  ShareHandle share(curl_share_init());
  if (!share) throw TransportError(u"The HTTP client could not be started");
  for (const curl_lock_data shared :
       {CURL_LOCK_DATA_COOKIE, CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION}) {
    curl_share_setopt(share.get(), CURLSHOPT_SHARE, shared);
  }
  return share;
}

void CopyCookies(CURLSH* from, CURLSH* to) {
  curl_slist* listed = nullptr;
  curl_easy_getinfo(NewEasy(from).get(), CURLINFO_COOKIELIST, &listed);
  const HeaderList cookies(listed);
  const EasyHandle writer = NewEasy(to);
  for (const curl_slist* cookie = cookies.get(); cookie != nullptr; cookie = cookie->next) {
    curl_easy_setopt(writer.get(), CURLOPT_COOKIELIST, cookie->data);
  }
}

// The open connections: every handle added to it may use them again.
MultiHandle NewMulti() {
  MultiHandle multi(curl_multi_init());
  if (!multi) throw TransportError(u"The HTTP client could not be started");
  return multi;
}

CURLMcode Drive(CURLM* multi) {
  constexpr int kLongestWaitMs = 1000;  // libcurl shortens it to its own next deadline
  int running = 1;
  CURLMcode driven = curl_multi_perform(multi, &running);
  while (driven == CURLM_OK && running > 0) {
    driven = curl_multi_poll(multi, nullptr, 0, kLongestWaitMs, nullptr);
    if (driven == CURLM_OK) driven = curl_multi_perform(multi, &running);
  }
  return driven;
}

// One transfer to its end, on the connections of `multi`; as curl_easy_perform, whose
// own multi handle and connections would go with each handle.
CURLcode Perform(CURLM* multi, CURL* easy) {
  CURLMcode driven = curl_multi_add_handle(multi, easy);
  if (driven == CURLM_OK) driven = Drive(multi);
  // A transfer that libcurl never reports done has failed.
  CURLcode result =
      driven == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_BAD_FUNCTION_ARGUMENT;
  int left = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
      result = message->data.result;
    }
  }
  curl_multi_remove_handle(multi, easy);
  return result;
}

class CurlTransport : public Transport {
 public:
  explicit CurlTransport(const TransportSettings& settings)
      : settings_(settings), share_(NewShare()), connections_(NewMulti()) {}

  HttpReply Send(const HttpRequest& request, BodySink& sink, ProgressSink* progress) override {
    RefuseCredentialsInUrl(request.url);
    // A POST goes alone: the open connections are closed first.
    if (request.verb == HttpVerb::Post) CloseConnections();
    // Every exchange gets a handle of its own: libcurl 7.88 keeps a pointer to the last
    // header of a handle's previous reply and follows it, freed, when the next reply opens
    // with a folded line. Connections, cookies and the rest outlive it.
    StartClient();
    Exchange exchange(easy_.get(), request, settings_, sink, progress);
    const HeaderList headers = Headers(request);
    Configure(request, exchange, headers.get());
    error_[0] = '\0';
    const CURLcode code = Perform(connections_.get(), easy_.get());
    if (exchange.failure) std::rethrow_exception(exchange.failure);
    // libcurl may end its whole-transfer limit a few milliseconds before the budget's.
    constexpr std::chrono::milliseconds kClockSlack{100};
    if (code == CURLE_OPERATION_TIMEDOUT && exchange.budget.Expired(kClockSlack)) {
      exchange.budget.FailTime();
    }
    if (code != CURLE_OK) throw TransportError(Describe(code));
    // libcurl takes a reply cut off inside its headers for a complete one without a body.
    if (!exchange.headers_ended) {
      throw TransportError(u"The connection closed before the reply's headers were complete");
    }
    if (exchange.download.Begun()) exchange.download.End();
    HttpReply reply;
    reply.status = exchange.status;
    reply.status_line = exchange.status_line;
    const char* content_type = nullptr;
    curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_TYPE, &content_type);
    if (content_type != nullptr) reply.content_type = content_type;
    return reply;
  }

  // No connection made under the old settings is used again; the cookies live on.
  void ApplySettings(const TransportSettings& settings) override {
    settings_ = settings;
    CloseConnections();
  }

 private:
  // The TLS sessions and name lookups go too; a new share takes over the cookies. Both new
  // handles are made first, so a failure leaves the transport as it was.
  void CloseConnections() {
    MultiHandle fresh_connections = NewMulti();
    ShareHandle fresh_share = NewShare();
    CopyCookies(share_.get(), fresh_share.get());
    easy_.reset();
    connections_ = std::move(fresh_connections);  // closed while the share they used lives
    share_ = std::move(fresh_share);
  }

  void Set(CURLoption option, long value) { curl_easy_setopt(easy_.get(), option, value); }
  template <typename T>
  void Set(CURLoption option, T* value) {
    curl_easy_setopt(easy_.get(), option, value);
  }

  void StartClient() {
    easy_.reset();
    easy_ = NewEasy(share_.get());
    Set(CURLOPT_ERRORBUFFER, error_);
    Set(CURLOPT_NOSIGNAL, 1L);
    Set(CURLOPT_PROTOCOLS_STR, "http,https");
    Set(CURLOPT_PROXY, "");       // straight to the server, whatever proxy the environment names
    Set(CURLOPT_COOKIEFILE, "");  // cookies in memory for the life of the client
    Set(CURLOPT_FOLLOWLOCATION, 0L);
    Set(CURLOPT_PATH_AS_IS, 1L);  // the URL goes out exactly as built
    Set(CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings_.connect_timeout.count()));
    Set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    Set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(settings_.stall_timeout.count()));
    Set(CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    Set(CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    Set(CURLOPT_SSL_VERIFYPEER, settings_.tls_verify ? 1L : 0L);
    Set(CURLOPT_SSL_VERIFYHOST, settings_.tls_verify ? 2L : 0L);
    if (!settings_.ca_file.empty()) {
      curl_easy_setopt(easy_.get(), CURLOPT_SSL_CTX_FUNCTION, AddAuthorities);
      Set(CURLOPT_SSL_CTX_DATA, &settings_.ca_file);
    }
    curl_easy_setopt(easy_.get(), CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy_.get(), CURLOPT_WRITEFUNCTION, OnWrite);
    curl_easy_setopt(easy_.get(), CURLOPT_READFUNCTION, OnRead);
    curl_easy_setopt(easy_.get(), CURLOPT_SEEKFUNCTION, OnSeek);
  }

  static HeaderList Headers(const HttpRequest& request) {
    HeaderList list;
    const auto append = [&list](const std::string& line) {
      curl_slist* grown = curl_slist_append(list.get(), line.c_str());
      if (grown == nullptr) throw std::bad_alloc();
      (void)list.release();
      list.reset(grown);
    };
    for (const auto& [name, value] : request.headers) append(name + ": " + value);
    append("Expect:");  // never wait for 100-continue
    return list;
  }

  // Every request sets every option that differs between requests.
  void Configure(const HttpRequest& request, Exchange& exchange, curl_slist* headers) {
    const bool post = request.verb == HttpVerb::Post;
    Set(CURLOPT_URL, request.url.c_str());
    Set(CURLOPT_HTTPHEADER, headers);
    Set(CURLOPT_HEADERDATA, &exchange);
    Set(CURLOPT_WRITEDATA, &exchange);
    Set(CURLOPT_READDATA, &exchange);
    Set(CURLOPT_SEEKDATA, &exchange);
    Set(CURLOPT_HTTPGET, 1L);  // clears the upload and post modes of the last request
    Set(CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
    // Every POST goes alone on a new connection as HTTP/1.0; the rest share one.
    Set(CURLOPT_HTTP_VERSION, post ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    Set(CURLOPT_FRESH_CONNECT, post ? 1L : 0L);
    Set(CURLOPT_FORBID_REUSE, post ? 1L : 0L);
    // The whole exchange, connection included; a download has only the stall limit.
    const auto whole =
        std::chrono::duration_cast<std::chrono::milliseconds>(settings_.reply_timeout);
    Set(CURLOPT_TIMEOUT_MS, exchange.budget.Bounded() ? static_cast<long>(whole.count()) : 0L);
    const auto size = static_cast<curl_off_t>(request.body ? request.body->Size() : 0);
    switch (request.verb) {
      case HttpVerb::Get:
        break;
      case HttpVerb::Delete:
        Set(CURLOPT_CUSTOMREQUEST, "DELETE");
        break;
      case HttpVerb::Post:
        Set(CURLOPT_POST, 1L);
        curl_easy_setopt(easy_.get(), CURLOPT_POSTFIELDSIZE_LARGE, size);
        break;
      case HttpVerb::Put:
        Set(CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(easy_.get(), CURLOPT_INFILESIZE_LARGE, size);
        break;
    }
  }

  std::u16string Describe(CURLcode code) const {
    if (code == CURLE_OPERATION_TIMEDOUT) {
      // A kept-alive connection took no time to connect: a request already sent tells that
      // the server was reached.
      curl_off_t connect_time = 0;
      long request_bytes = 0;
      curl_easy_getinfo(easy_.get(), CURLINFO_CONNECT_TIME_T, &connect_time);
      curl_easy_getinfo(easy_.get(), CURLINFO_REQUEST_SIZE, &request_bytes);
      if (connect_time == 0 && request_bytes == 0) {
        return u"No connection to the server within " +
               Utf8ToUtf16(std::to_string(settings_.connect_timeout.count())) + u" seconds";
      }
      return u"The transfer stopped: the server sent or took no data for " +
             Utf8ToUtf16(std::to_string(settings_.stall_timeout.count())) + u" seconds";
    }
    if (code == CURLE_SSL_CACERT_BADFILE && !settings_.ca_file.empty()) {
      // libcurl only says that the callback failed, which names neither the file nor why.
      return u"The authority file " + Utf8ToUtf16(settings_.ca_file) +
             u" cannot be read or holds no certificate";
    }
    return Utf8ToUtf16(error_[0] != '\0' ? error_ : curl_easy_strerror(code));
  }

  TransportSettings settings_;
  // In this order: every handle must go before those it uses.
  ShareHandle share_;
  MultiHandle connections_;
  EasyHandle easy_;
  char error_[CURL_ERROR_SIZE] = {};
};

}  // namespace

std::unique_ptr<Transport> MakeTransport(const TransportSettings& settings) {
  return std::make_unique<CurlTransport>(settings);
}

}  // namespace velto
