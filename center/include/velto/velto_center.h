#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "velto/key.h"
#include "velto/transport.h"
#include "velto/work_events.h"
#include "velto_box.h"

namespace velto {

class TMultipartForm;

// The one connection to the records server: the HTTP client, the progress receiver and
// the busy flag that lets one request run at a time. Made on first use, destroyed when
// the library is unloaded.
class TVeltoCenter : private ProgressSink {
  struct Token {};

 public:
  explicit TVeltoCenter(Token);
  ~TVeltoCenter() override;

  // Process-wide settings, independent of the instance. Hosts configure and log in on one
  // thread while a request runs on another, so each read is a copy (const: assigning to it
  // does not compile) and each write replaces the whole value.
  static const std::u16string Root();
  static void SetRoot(std::u16string root);
  static const TVeltoKey Key();
  static void SetKey(TVeltoKey key);
  // TLS and time limits of the HTTP client; a change takes effect at the next request.
  static const TransportSettings Settings();
  static void SetSettings(TransportSettings settings);

  // Makes the process-wide settings with their load values (default root, empty key) and
  // the empty place of the instance.
  static void OpenUnit();
  // The instance, made by the first call; calls on several threads at once make one.
  static TVeltoCenter& GetInstance();
  // Destroys the instance, when there is one (unload).
  static void DestroyInstance();
  // Forgets the instance without destroying it: the process is going away and must not
  // touch the host's objects or the network any more.
  static void AbandonInstance();

  // Root followed directly by `path`.
  static std::u16string GetPath(std::u16string_view path);

  WorkEventsRef& WorkEvents() { return work_events_; }

  std::u16string Get(std::u16string_view path);
  // A null `response` fails before anything is sent.
  void Get(std::u16string_view path, IStream* response);
  std::u16string Post(std::u16string_view path, std::u16string_view body);
  std::u16string Post(std::u16string_view path, TMultipartForm& request);
  std::u16string Put(std::u16string_view path, std::u16string_view body);
  std::u16string Delete(std::u16string_view path);

 private:
  // Takes the busy flag, sends with the current key, and releases the flag. A download's
  // reply is bound by neither the size nor the time limit of other replies.
  HttpReply Send(HttpVerb verb, std::u16string_view path, BodySource* body,
                 const std::string& content_type, BodySink& sink, bool download = false);
  Transport& CurrentTransport();

  void WorkBegin(WorkMode mode, int64_t count_max) override;
  void Work(WorkMode mode, int64_t count) override;
  void WorkEnd(WorkMode mode) override;

  std::atomic<int32_t> working_{0};
  WorkEventsRef work_events_;
  std::unique_ptr<Transport> transport_;
  TransportSettings transport_settings_;
};

// The message of a request refused because another one is running.
inline constexpr std::u16string_view kBusyMessage = u"작업 중입니다";

}  // namespace velto
