// The WinHTTP transport: synchronous WinHTTP calls driven by our own write and read loops,
// so that progress is reported from this code on the calling thread.

#include <windows.h>
#include <winhttp.h>

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

#include "velto/reply_budget.h"
#include "velto/transfer_progress.h"
#include "velto/transport.h"
#include "velto/unicode.h"
#include "velto/url_credentials.h"
#include "winhttp_error.h"
#include "winhttp_handle.h"

namespace velto {
namespace {

constexpr wchar_t kUserAgent[] = L"Mozilla/3.0 (compatible; Velto.Box)";
constexpr size_t kChunkSize = 64 * 1024;

[[noreturn]] void Fail(DWORD code) {
  throw TransportError(DescribeWinHttpError(code));
}
[[noreturn]] void FailLastError() {
  Fail(GetLastError());
}

std::wstring Wide(std::string_view utf8) {
  const std::u16string utf16 = Utf8ToUtf16(utf8);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

int Milliseconds(std::chrono::milliseconds duration) {
  return static_cast<int>(duration.count());
}

const wchar_t* VerbName(HttpVerb verb) {
  switch (verb) {
    case HttpVerb::Get:
      return L"GET";
    case HttpVerb::Post:
      return L"POST";
    case HttpVerb::Put:
      return L"PUT";
    case HttpVerb::Delete:
      return L"DELETE";
  }
  return L"GET";
}

bool TrySetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
  return WinHttpSetOption(handle, option, &value, sizeof value);
}

void SetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
  if (!TrySetDwordOption(handle, option, value)) FailLastError();
}

// TLS 1.2 or newer; systems that do not know TLS 1.3 refuse its flag. False when the
// system cannot be held to TLS 1.2 at all.
bool RestrictTls(HINTERNET session) {
  constexpr DWORD kTls12 = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
  constexpr DWORD kTls13 = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  return TrySetDwordOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, kTls12 | kTls13) ||
         TrySetDwordOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, kTls12);
}

// Adds `headers` ("Name: value" lines, each ending in CR LF), replacing any of the same name.
void AddHeaders(HINTERNET request, const std::string& headers) {
  const std::wstring wide = Wide(headers);
  if (!WinHttpAddRequestHeaders(request, wide.c_str(), static_cast<DWORD>(wide.size()),
                                WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
    FailLastError();
  }
}

// The parts of a request URL that WinHTTP takes separately.
struct UrlParts {
  std::wstring host;
  INTERNET_PORT port = 0;
  bool secure = false;
  std::wstring object;  // path and query, exactly as given
};

UrlParts CrackUrl(const std::wstring& url) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) FailLastError();
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    Fail(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
  }
  UrlParts result;
  result.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  result.port = parts.nPort;
  result.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  result.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  result.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (result.object.empty()) result.object = L"/";
  return result;
}

std::wstring QueryHeader(HINTERNET request, DWORD query) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() == ERROR_WINHTTP_HEADER_NOT_FOUND) return {};
  std::wstring value(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    FailLastError();
  }
  value.resize(bytes / sizeof(wchar_t));
  return value;
}

// The announced length of the reply body, when the reply names one. WinHTTP may hand the
// value back with the blanks that may surround it (Wine does); it frames the body by it
// all the same.
std::optional<int64_t> ContentLength(HINTERNET request) {
  const std::string value = Narrow(QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH));
  const size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const std::string_view text =
      std::string_view(value).substr(first, value.find_last_not_of(" \t") + 1 - first);
  int64_t length = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  if (error != std::errc() || end != text.data() + text.size()) return {};
  return length;
}

HttpReply ReadReplyHead(HINTERNET request) {
  HttpReply reply;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    FailLastError();
  }
  reply.status = static_cast<int>(status);
  const std::wstring raw = QueryHeader(request, WINHTTP_QUERY_RAW_HEADERS_CRLF);
  // Wine's WinHTTP takes a connection closed inside the headers for their end; the empty
  // line that ends them is then missing from the raw headers.
  if (!raw.ends_with(L"\r\n\r\n")) {
    throw TransportError(u"The connection closed before the reply's headers were complete");
  }
  reply.status_line = Narrow(std::wstring_view(raw).substr(0, raw.find(L"\r\n")));
  reply.content_type = Narrow(QueryHeader(request, WINHTTP_QUERY_CONTENT_TYPE));
  return reply;
}

class WinHttpTransport final : public Transport {
 public:
  explicit WinHttpTransport(const TransportSettings& settings);
  HttpReply Send(const HttpRequest& request, BodySink& sink, ProgressSink* progress) override;
  // The session, which holds the cookies, stays; TLS settings apply per request.
  void ApplySettings(const TransportSettings& settings) override;

 private:
  void ApplyTimeouts() const;
  void BoundWaits(HINTERNET request, ReplyBudget& budget) const;
  WinHttpHandle OpenRequest(HINTERNET connection, const HttpRequest& request,
                            const UrlParts& url) const;
  void Exchange(HINTERNET request, BodySource* body, TransferProgress& upload,
                ReplyBudget& budget) const;
  void SendHead(HINTERNET request, uint64_t body_size, ReplyBudget& budget) const;
  void WriteBody(HINTERNET request, BodySource& body, TransferProgress& upload,
                 ReplyBudget& budget) const;
  void ReadBody(HINTERNET request, const HttpReply& reply, BodySink* sink,
                TransferProgress& download, ReplyBudget& budget) const;
  [[noreturn]] void FailTransfer(DWORD code, const ReplyBudget& budget,
                                 bool connecting = false) const;

  TransportSettings settings_;
  WinHttpHandle session_;
  bool tls_restricted_ = false;
};

WinHttpTransport::WinHttpTransport(const TransportSettings& settings) : settings_(settings) {
  // Straight to the server, whatever proxy the machine names.
  session_.reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session_) FailLastError();
  ApplyTimeouts();
  SetDwordOption(session_.get(), WINHTTP_OPTION_REDIRECT_POLICY,
                 WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
  tls_restricted_ = RestrictTls(session_.get());
}

void WinHttpTransport::ApplySettings(const TransportSettings& settings) {
  settings_ = settings;
  ApplyTimeouts();
}

void WinHttpTransport::ApplyTimeouts() const {
  const int connect = Milliseconds(settings_.connect_timeout);
  const int stall = Milliseconds(settings_.stall_timeout);
  if (!WinHttpSetTimeouts(session_.get(), connect, connect, stall, stall)) FailLastError();
  // Waiting for the reply head has a limit of its own.
  SetDwordOption(session_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, stall);
}

// WinHTTP has no limit for a whole exchange: each wait of a bounded one is cut to the time
// it has left, and the loops check it between waits.
void WinHttpTransport::BoundWaits(HINTERNET request, ReplyBudget& budget) const {
  if (!budget.Bounded()) return;
  const int connect = Milliseconds(budget.LimitWait(settings_.connect_timeout));
  const int stall = Milliseconds(budget.LimitWait(settings_.stall_timeout));
  if (!WinHttpSetTimeouts(request, connect, connect, stall, stall)) FailLastError();
  SetDwordOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, stall);
}

HttpReply WinHttpTransport::Send(const HttpRequest& request, BodySink& sink,
                                 ProgressSink* progress) {
  RefuseCredentialsInUrl(request.url);
  const UrlParts url = CrackUrl(Wide(request.url));
  if (url.secure && !tls_restricted_) {
    throw TransportError(u"This system cannot hold https connections to TLS 1.2 or newer");
  }
  WinHttpHandle connection(WinHttpConnect(session_.get(), url.host.c_str(), url.port, 0));
  if (!connection) FailLastError();
  WinHttpHandle handle = OpenRequest(connection.get(), request, url);

  ReplyBudget budget(settings_, request.download);
  TransferProgress upload(progress, WorkMode::Write);
  Exchange(handle.get(), request.body, upload, budget);
  // Wine hands back a head cut off by the time limit as if it had ended.
  budget.CheckTime();
  HttpReply reply = ReadReplyHead(handle.get());
  TransferProgress download(progress, WorkMode::Read);
  const bool success = reply.status >= 200 && reply.status < 300;
  ReadBody(handle.get(), reply, success ? &sink : nullptr, download, budget);
  return reply;
}

// Sends the request and waits for the reply head. WinHTTP asks for the request once more
// when the connection it chose turned out to be closed.
void WinHttpTransport::Exchange(HINTERNET request, BodySource* body, TransferProgress& upload,
                                ReplyBudget& budget) const {
  constexpr int kAttempts = 3;
  for (int attempt = 1;; ++attempt) {
    SendHead(request, body ? body->Size() : 0, budget);
    if (body) WriteBody(request, *body, upload, budget);
    BoundWaits(request, budget);
    if (WinHttpReceiveResponse(request, nullptr)) return;
    const DWORD error = GetLastError();
    const bool again = error == ERROR_WINHTTP_RESEND_REQUEST && attempt < kAttempts;
    if (!again || (body && !body->Rewind())) FailTransfer(error, budget);
    upload.Restart();
  }
}

WinHttpHandle WinHttpTransport::OpenRequest(HINTERNET connection, const HttpRequest& request,
                                            const UrlParts& url) const {
  // Every POST goes out as HTTP/1.0; the path and query are sent without escaping.
  const wchar_t* version = request.verb == HttpVerb::Post ? L"HTTP/1.0" : L"HTTP/1.1";
  DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY;
  if (url.secure) flags |= WINHTTP_FLAG_SECURE;
  WinHttpHandle handle(WinHttpOpenRequest(connection, VerbName(request.verb), url.object.c_str(),
                                          version, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                          flags));
  if (!handle) FailLastError();
  if (request.verb == HttpVerb::Post) {
    SetDwordOption(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_KEEP_ALIVE);
  }
  if (url.secure && !settings_.tls_verify) {
    SetDwordOption(handle.get(), WINHTTP_OPTION_SECURITY_FLAGS,
                   SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                       SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                       SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE);
  }
  std::string headers;
  for (const auto& [name, value] : request.headers) headers += name + ": " + value + "\r\n";
  if (!headers.empty()) AddHeaders(handle.get(), headers);
  return handle;
}

// WinHTTP takes the body's length in 32 bits: a larger body goes with its own Content-Length
// header, and WinHTTP is told to ignore the total.
void WinHttpTransport::SendHead(HINTERNET request, uint64_t body_size, ReplyBudget& budget) const {
  DWORD total = static_cast<DWORD>(body_size);
  if (body_size > std::numeric_limits<DWORD>::max()) {
    AddHeaders(request, "Content-Length: " + std::to_string(body_size) + "\r\n");
    total = WINHTTP_IGNORE_REQUEST_TOTAL_LENGTH;
  }
  BoundWaits(request, budget);
  if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                          total, 0)) {
    FailTransfer(GetLastError(), budget, true);
  }
}

void WinHttpTransport::WriteBody(HINTERNET request, BodySource& body, TransferProgress& upload,
                                 ReplyBudget& budget) const {
  const uint64_t size = body.Size();
  std::string buffer(kChunkSize, '\0');
  for (uint64_t sent = 0; sent < size;) {
    upload.Begin(static_cast<int64_t>(size));
    const size_t count = body.Read(buffer.data(), buffer.size());
    if (count == 0) throw TransportError(u"The request body ended before its announced size");
    budget.CheckTime();
    BoundWaits(request, budget);
    DWORD written = 0;
    if (!WinHttpWriteData(request, buffer.data(), static_cast<DWORD>(count), &written)) {
      FailTransfer(GetLastError(), budget);
    }
    sent += count;
    upload.Advance(count);
  }
  upload.End();
}

// Reads the whole reply body, so the connection can serve the next request; only a
// successful reply's body reaches the sink. WinHTTP takes a connection that closes early
// for the end of the body, so the announced length is checked here.
void WinHttpTransport::ReadBody(HINTERNET request, const HttpReply& reply, BodySink* sink,
                                TransferProgress& download, ReplyBudget& budget) const {
  const std::optional<int64_t> expected = ContentLength(request);
  budget.CheckAnnounced(reply.status, expected.value_or(-1));
  std::string buffer(kChunkSize, '\0');
  int64_t received = 0;
  for (;;) {
    budget.CheckTime();
    BoundWaits(request, budget);
    DWORD count = 0;
    if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &count)) {
      FailTransfer(GetLastError(), budget);
    }
    if (count == 0) break;
    budget.Take(count);
    download.Begin(expected.value_or(0));
    if (sink) sink->Write(buffer.data(), count);
    download.Advance(count);
    received += count;
  }
  if (expected && received < *expected && ReplyHasBody(reply.status)) {
    throw TransportError(u"The server closed the connection before the whole reply arrived");
  }
  download.End();
}

// A time-out names the limit that ran out; every other failure is described as it is.
// A time-out while the request head goes out means the server was not reached in time.
void WinHttpTransport::FailTransfer(DWORD code, const ReplyBudget& budget, bool connecting) const {
  // Wine reports the socket's own time-out code.
  if (code != ERROR_WINHTTP_TIMEOUT && code != WSAETIMEDOUT) Fail(code);
  if (budget.EndedWait()) budget.FailTime();
  if (connecting) {
    throw TransportError(u"No connection to the server within " +
                         Utf8ToUtf16(std::to_string(settings_.connect_timeout.count())) +
                         u" seconds");
  }
  throw TransportError(u"The transfer stopped: the server sent or took no data for " +
                       Utf8ToUtf16(std::to_string(settings_.stall_timeout.count())) + u" seconds");
}

}  // namespace

std::unique_ptr<Transport> MakeTransport(const TransportSettings& settings) {
  return std::make_unique<WinHttpTransport>(settings);
}

}  // namespace velto
