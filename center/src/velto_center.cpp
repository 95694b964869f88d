#include "velto/velto_center.h"

#include "velto/bodies.h"
#include "velto/charset.h"
#include "velto/content_type.h"
#include "velto/default_root.h"
#include "velto/http_error.h"
#include "velto/multipart_form.h"
#include "velto/unicode.h"

namespace velto {
namespace {

constexpr char kAccept[] = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr char kUserAgent[] = "Mozilla/3.0 (compatible; Velto.Box)";
constexpr char kJsonType[] = "application/json; charset=utf-8";

std::unique_ptr<TVeltoCenter>& Instance() {
  static std::unique_ptr<TVeltoCenter> instance;
  return instance;
}

// The key comes from the server; a line break or NUL in it would inject headers.
std::string KeyHeaderValue(const std::u16string& id) {
  if (id.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string::npos) {
    throw Exception(
        u"The session key holds a line break or NUL and cannot be sent as the \"key-id\" "
        u"header");
  }
  return Utf16ToUtf8(id);
}

// Releases the busy flag however the request ends.
class BusyGuard {
 public:
  explicit BusyGuard(std::atomic<int32_t>& flag) : flag_(flag) {
    int32_t idle = 0;
    if (!flag_.compare_exchange_strong(idle, 1)) throw Exception(std::u16string(kBusyMessage));
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
  ~BusyGuard() { flag_.exchange(0); }

 private:
  std::atomic<int32_t>& flag_;
};

}  // namespace

TVeltoCenter::TVeltoCenter(Token) {}

TVeltoCenter::~TVeltoCenter() = default;

std::u16string& TVeltoCenter::Root() {
  static std::u16string root(kDefaultRoot);
  return root;
}

TVeltoKey& TVeltoCenter::Key() {
  static TVeltoKey key;
  return key;
}

TransportSettings& TVeltoCenter::Settings() {
  static TransportSettings settings;
  return settings;
}

void TVeltoCenter::OpenUnit() {
  Root() = kDefaultRoot;
  Key() = {};
  Settings() = {};
  Instance();
}

TVeltoCenter& TVeltoCenter::GetInstance() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<TVeltoCenter>(Token{});
  return *instance;
}

void TVeltoCenter::DestroyInstance() {
  Instance().reset();
}

void TVeltoCenter::AbandonInstance() {
  (void)Instance().release();
}

std::u16string TVeltoCenter::GetPath(std::u16string_view path) {
  return Root() + std::u16string(path);
}

std::u16string TVeltoCenter::Get(std::u16string_view path) {
  StringSink sink;
  const HttpReply reply = Send(HttpVerb::Get, path, nullptr, {}, sink);
  return DecodeCharset(sink.Bytes(), CharsetOf(reply.content_type));
}

void TVeltoCenter::Get(std::u16string_view path, IStream* response) {
  StreamSink sink(response);
  Send(HttpVerb::Get, path, nullptr, {}, sink);
}

std::u16string TVeltoCenter::Post(std::u16string_view path, std::u16string_view body) {
  StringBody source(Utf16ToUtf8(body));
  StringSink sink;
  Send(HttpVerb::Post, path, &source, kJsonType, sink);
  return Utf8ToUtf16(sink.Bytes());
}

std::u16string TVeltoCenter::Post(std::u16string_view path, TMultipartForm& request) {
  StringSink sink;
  Send(HttpVerb::Post, path, &request, request.ContentType(), sink);
  return Utf8ToUtf16(sink.Bytes());
}

std::u16string TVeltoCenter::Put(std::u16string_view path, std::u16string_view body) {
  StringBody source(Utf16ToUtf8(body));
  StringSink sink;
  Send(HttpVerb::Put, path, &source, kJsonType, sink);
  return Utf8ToUtf16(sink.Bytes());
}

std::u16string TVeltoCenter::Delete(std::u16string_view path) {
  StringSink sink;
  const HttpReply reply = Send(HttpVerb::Delete, path, nullptr, {}, sink);
  return DecodeCharset(sink.Bytes(), CharsetOf(reply.content_type));
}

HttpReply TVeltoCenter::Send(HttpVerb verb, std::u16string_view path, BodySource* body,
                             const std::string& content_type, BodySink& sink) {
  BusyGuard busy(working_);
  HttpRequest request;
  request.verb = verb;
  request.url = Utf16ToUtf8(GetPath(path));
  request.body = body;
  if (body != nullptr) request.headers.emplace_back("Content-Type", content_type);
  request.headers.emplace_back("Accept", kAccept);
  request.headers.emplace_back("User-Agent", kUserAgent);
  if (!Key().Id.empty()) request.headers.emplace_back("key-id", KeyHeaderValue(Key().Id));
  HttpReply reply = CurrentTransport().Send(request, sink, this);
  if (reply.status < 200 || reply.status > 299) throw EHttpError(reply.status, reply.status_line);
  return reply;
}

Transport& TVeltoCenter::CurrentTransport() {
  if (!transport_ || !(transport_settings_ == Settings())) {
    transport_.reset();
    transport_ = MakeTransport(Settings());
    transport_settings_ = Settings();
  }
  return *transport_;
}

void TVeltoCenter::WorkBegin(WorkMode mode, int64_t count_max) {
  work_events_.WorkBegin(static_cast<int32_t>(mode), count_max);
}

void TVeltoCenter::Work(WorkMode mode, int64_t count) {
  work_events_.Work(static_cast<int32_t>(mode), count);
}

void TVeltoCenter::WorkEnd(WorkMode mode) {
  work_events_.WorkEnd(static_cast<int32_t>(mode));
}

}  // namespace velto
