#include "velto/velto_center.h"

#include <mutex>

#include "velto/bodies.h"
#include "velto/charset.h"
#include "velto/content_type.h"
#include "velto/default_root.h"
#include "velto/http_error.h"
#include "velto/multipart_form.h"
#include "velto/shared_value.h"
#include "velto/unicode.h"

namespace velto {
namespace {

constexpr char kAccept[] = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr char kUserAgent[] = "Mozilla/3.0 (compatible; Velto.Box)";
constexpr char kJsonType[] = "application/json; charset=utf-8";

// The place of the one instance; the lock makes the first use on several threads at once
// make exactly one.
struct InstanceSlot {
  std::mutex mutex;
  std::unique_ptr<TVeltoCenter> instance;
};

InstanceSlot& Instance() {
  static InstanceSlot slot;
  return slot;
}

SharedValue<std::u16string>& SharedRoot() {
  static SharedValue<std::u16string> root{std::u16string(kDefaultRoot)};
  return root;
}

SharedValue<TVeltoKey>& SharedKey() {
  static SharedValue<TVeltoKey> key;
  return key;
}

SharedValue<TransportSettings>& SharedSettings() {
  static SharedValue<TransportSettings> settings;
  return settings;
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

const std::u16string TVeltoCenter::Root() {
  return SharedRoot().Get();
}

void TVeltoCenter::SetRoot(std::u16string root) {
  SharedRoot().Set(std::move(root));
}

const TVeltoKey TVeltoCenter::Key() {
  return SharedKey().Get();
}

void TVeltoCenter::SetKey(TVeltoKey key) {
  SharedKey().Set(std::move(key));
}

const TransportSettings TVeltoCenter::Settings() {
  return SharedSettings().Get();
}

void TVeltoCenter::SetSettings(TransportSettings settings) {
  SharedSettings().Set(std::move(settings));
}

void TVeltoCenter::OpenUnit() {
  SetRoot(std::u16string(kDefaultRoot));
  SetKey({});
  SetSettings({});
  Instance();
}

TVeltoCenter& TVeltoCenter::GetInstance() {
  InstanceSlot& slot = Instance();
  std::lock_guard lock(slot.mutex);
  if (!slot.instance) slot.instance = std::make_unique<TVeltoCenter>(Token{});
  return *slot.instance;
}

void TVeltoCenter::DestroyInstance() {
  std::unique_ptr<TVeltoCenter> doomed;
  {
    InstanceSlot& slot = Instance();
    std::lock_guard lock(slot.mutex);
    doomed = std::move(slot.instance);
  }
  // Destroyed outside the lock: it releases the host's receiver.
}

void TVeltoCenter::AbandonInstance() {
  InstanceSlot& slot = Instance();
  std::lock_guard lock(slot.mutex);
  (void)slot.instance.release();
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
  // Before anything is sent: the reply would have nowhere to go.
  if (response == nullptr) throw Exception(u"No stream was given to receive the download");
  StreamSink sink(response);
  Send(HttpVerb::Get, path, nullptr, {}, sink, /*download=*/true);
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
                             const std::string& content_type, BodySink& sink, bool download) {
  BusyGuard busy(working_);
  HttpRequest request;
  request.verb = verb;
  request.url = Utf16ToUtf8(GetPath(path));
  request.body = body;
  request.download = download;
  if (body != nullptr) request.headers.emplace_back("Content-Type", content_type);
  request.headers.emplace_back("Accept", kAccept);
  request.headers.emplace_back("User-Agent", kUserAgent);
  const std::u16string key_id = Key().Id;
  if (!key_id.empty()) request.headers.emplace_back("key-id", KeyHeaderValue(key_id));
  HttpReply reply = CurrentTransport().Send(request, sink, this);
  if (reply.status < 200 || reply.status > 299) throw EHttpError(reply.status, reply.status_line);
  return reply;
}

Transport& TVeltoCenter::CurrentTransport() {
  const TransportSettings settings = Settings();
  if (!transport_) {
    transport_ = MakeTransport(settings);
  } else if (!(transport_settings_ == settings)) {
    transport_->ApplySettings(settings);  // not made again: its cookies must stay
  }
  transport_settings_ = settings;
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
