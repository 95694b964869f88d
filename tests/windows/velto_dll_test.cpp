// Velto.Box.dll as a Windows host uses it: loaded with LoadLibraryW, every export looked
// up by its plain name and called through the stdcall types of velto_box.h.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "loaded_dll.h"
#include "recording_events.h"
#include "scratch_path.h"
#include "unwinding_handler.h"
#include "velto/test_peer.h"
#include "velto/unicode.h"
#include "velto_box.h"

namespace velto {
namespace {

using test::CallUnderUnwindingHandler;
using test::PeerReply;
using test::PeerRequest;
using test::RecordingEvents;
using test::TestPeer;

constexpr char kKeyReply[] =
    R"({"code":"100","message":"ok","value":{"userId":"u1","id":"key-1"}})";
constexpr char kDoneReply[] = R"({"code":"100","message":"ok","value":null})";

// A BSTR argument made by the system, as a host's would be.
class Text {
 public:
  explicit Text(const std::wstring& text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { SysFreeString(bstr_); }
  operator BSTR() const { return bstr_; }

 private:
  BSTR bstr_;
};

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const wchar_t* text, size_t length) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// A host's own exception, and one that its vectored handler continues.
constexpr DWORD kHostCode = 0xE0484F53;
constexpr DWORD kContinuedCode = 0xE0434F4E;

// What the vectored handler saw: the library's raises and the debugger output.
struct Seen {
  std::vector<std::string> raised;  // "flags parameters message" of each VELTO_EXCEPTION_CODE
  std::vector<std::string> trace;
  bool continue_library_raises = true;  // false: the host lets them unwind
};
Seen seen;

LONG CALLBACK Watch(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  const auto text = [&](int index) { return record.ExceptionInformation[index]; };
  switch (record.ExceptionCode) {
    case VELTO_EXCEPTION_CODE: {
      const auto* message = reinterpret_cast<const wchar_t*>(text(0));
      seen.raised.push_back(std::to_string(record.ExceptionFlags) + " " +
                            std::to_string(record.NumberParameters) + " " +
                            Utf8(message, wcslen(message)));
      // Continued, the export returns normally.
      return seen.continue_library_raises ? EXCEPTION_CONTINUE_EXECUTION
                                          : EXCEPTION_CONTINUE_SEARCH;
    }
    case kContinuedCode:
      return EXCEPTION_CONTINUE_EXECUTION;
    case DBG_PRINTEXCEPTION_C:
      seen.trace.emplace_back(reinterpret_cast<const char*>(text(1)), text(0) - 1);
      return EXCEPTION_CONTINUE_EXECUTION;
    case 0x4001000A: {  // DBG_PRINTEXCEPTION_WIDE_C
      const auto* line = reinterpret_cast<const wchar_t*>(text(1));
      seen.trace.push_back(Utf8(line, text(0) - 1));
      return EXCEPTION_CONTINUE_EXECUTION;
    }
    default:
      return EXCEPTION_CONTINUE_SEARCH;
  }
}

class VeltoDll : public ::testing::Test {
 protected:
  void SetUp() override {
    seen = {};
    watcher_ = AddVectoredExceptionHandler(1, Watch);
  }
  void TearDown() override {
    dll_.Unload();
    RemoveVectoredExceptionHandler(watcher_);
    std::filesystem::remove(ini_);
  }

  // Configures the library from an INI file naming the peer.
  VELTO_HANDLE OpenWithIni() {
    std::ofstream(ini_) << "[Global]\r\nRoot=" << peer_.Root()
                        << "\r\nUserCardNumber=\"0001234\"\r\nSiteId = site-9 \r\n";
    const VELTO_HANDLE handle = dll_.Open(Text(ini_.wstring()));
    EXPECT_NE(handle, nullptr);
    return handle;
  }

  std::string LastError() {
    BSTR message = nullptr;
    dll_.LastError(&message);
    const std::string text = Utf8(message, SysStringLen(message));
    SysFreeString(message);
    return text;
  }

  TestPeer peer_;
  LoadedDll dll_;
  std::filesystem::path ini_ = test::ScratchPath("dll-test", ".ini");

 private:
  PVOID watcher_ = nullptr;
};

TEST_F(VeltoDll, LogsInWithTheCardAndSendsTheKeyAfterwards) {
  const VELTO_HANDLE handle = OpenWithIni();
  EXPECT_EQ(OpenWithIni(), handle) << "one instance";
  dll_.Close(handle);  // frees nothing
  EXPECT_EQ(peer_.Connections(), 0) << "opening sends nothing";
  peer_.Enqueue(PeerReply::Json(kKeyReply));
  peer_.Enqueue(PeerReply::Json(kDoneReply));

  dll_.Enter(Text(L"5555"));
  dll_.Leave();

  const std::vector<PeerRequest> requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::regex gate("/user-card/[0-9]{17}123/gate");
  EXPECT_EQ(requests[0].Method(), "POST");
  EXPECT_TRUE(std::regex_match(requests[0].Target(), gate)) << requests[0].Target();
  EXPECT_EQ(requests[0].Version(), "HTTP/1.0");
  EXPECT_EQ(requests[0].Body(), "5555");
  EXPECT_FALSE(requests[0].HasHeader("key-id"));
  EXPECT_EQ(requests[1].Method(), "DELETE");
  EXPECT_TRUE(std::regex_match(requests[1].Target(), gate)) << requests[1].Target();
  EXPECT_EQ(requests[1].Version(), "HTTP/1.1");
  EXPECT_EQ(requests[1].Header("key-id"), "key-1");
  EXPECT_TRUE(seen.raised.empty());
  EXPECT_EQ(LastError(), "");
}

TEST_F(VeltoDll, ReportsProgressToTheRegisteredReceiverInOrder) {
  OpenWithIni();
  RecordingEvents receiver;
  dll_.WorkBegin(&receiver.com);
  EXPECT_EQ(receiver.references, 2u);
  peer_.Enqueue(PeerReply::Json(kKeyReply));

  dll_.Enter(Text(L"5555"));

  const std::string size = std::to_string(std::strlen(kKeyReply));
  EXPECT_EQ(receiver.calls,
            (std::vector<std::string>{"begin 1 4", "work 1 4", "end 1", "begin 0 " + size,
                                      "work 0 " + size, "end 0"}));
  dll_.WorkEnd();
  EXPECT_EQ(receiver.references, 1u);
}

TEST_F(VeltoDll, AFailureRaisesAContinuableExceptionAndIsKeptForLastError) {
  OpenWithIni();
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 404 Not Found", "gone"));
  peer_.Enqueue(PeerReply::Json(kDoneReply));

  dll_.Enter(Text(L"5555"));  // returns: the handler continued execution

  EXPECT_EQ(seen.raised, std::vector<std::string>{"0 1 HTTP/1.1 404 Not Found"});
  EXPECT_EQ(LastError(), "HTTP/1.1 404 Not Found");
  dll_.Leave();
  EXPECT_EQ(LastError(), "") << "a call that did not fail clears the message";
}

TEST_F(VeltoDll, RaisesTheRefusalOfAnExportCalledFromInsideAProgressCallback) {
  OpenWithIni();
  RecordingEvents receiver;
  std::string inner;
  receiver.on_call = [&](const std::string& call) {
    if (!call.starts_with("work") || !inner.empty()) return;
    dll_.Leave();
    inner = LastError();
  };
  dll_.WorkBegin(&receiver.com);
  peer_.Enqueue(PeerReply::Json(kKeyReply));

  dll_.Enter(Text(L"5555"));
  dll_.WorkEnd();

  EXPECT_EQ(inner, "작업 중입니다");
  EXPECT_EQ(seen.raised, std::vector<std::string>{"0 1 작업 중입니다"});
  EXPECT_EQ(LastError(), "") << "the outer call succeeded";
  EXPECT_EQ(peer_.Requests().size(), 1u);
}

void RaiseHostException(DWORD code, DWORD flags) {
  const ULONG_PTR parameters[] = {7, 8, 9};
  RaiseException(code, flags, 3, parameters);
}

std::string WideText(ULONG_PTR text) {
  const auto* characters = reinterpret_cast<const wchar_t*>(text);
  return Utf8(characters, wcslen(characters));
}

// The receiver raises the host's own exception and the host's handler around the export
// unwinds: the library ends and cleans up its work at the receiver's call, the handler gets
// the same exception, and the next request runs.
TEST_F(VeltoDll, AnExceptionTheReceiverRaisesReachesTheHostAsItWasAndLeavesTheLibraryIdle) {
  const std::string size = std::to_string(std::strlen(kKeyReply));
  const struct {
    const char* name;
    std::string raising_call;
    DWORD flags;
    std::optional<PeerReply> reply;  // none: the request never ends, no reply is taken
  } cases[] = {
      {"the upload begins", "begin 1 4", EXCEPTION_NONCONTINUABLE, std::nullopt},
      {"the download moves", "work 0 " + size, 0, PeerReply::Json(kKeyReply)},
      {"the download ends", "end 0", EXCEPTION_NONCONTINUABLE, PeerReply::Json(kKeyReply)},
      // WorkEnd is called while the library cleans up after a failure; the host's own
      // exception goes before the library's message.
      {"a cut-off download ends", "end 0", 0,
       PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort").Close()},
  };
  OpenWithIni();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEvents receiver;
    receiver.on_call = [&](const std::string& call) {
      if (call == c.raising_call) RaiseHostException(kHostCode, c.flags);
    };
    dll_.WorkBegin(&receiver.com);
    if (c.reply) peer_.Enqueue(*c.reply);

    const auto unwound = CallUnderUnwindingHandler([&] { dll_.Enter(Text(L"5555")); });

    ASSERT_TRUE(unwound);
    EXPECT_EQ(unwound->code, kHostCode);
    EXPECT_EQ(unwound->flags & EXCEPTION_NONCONTINUABLE, c.flags);
    EXPECT_EQ(unwound->parameters, (std::vector<ULONG_PTR>{7, 8, 9}));
    EXPECT_EQ(LastError(),
              "The host's code raised the exception 0xE0484F53 while the library called it");
    receiver.on_call = nullptr;
    peer_.Enqueue(PeerReply::Json(kKeyReply));
    dll_.Enter(Text(L"5555"));
    EXPECT_EQ(LastError(), "") << "the library is idle again";
    dll_.WorkEnd();
    EXPECT_EQ(receiver.references, 1u);
  }
  EXPECT_TRUE(seen.raised.empty());
}

TEST_F(VeltoDll, AnExceptionTheHostContinuesLeavesTheRequestRunning) {
  OpenWithIni();
  RecordingEvents receiver;
  receiver.on_call = [](const std::string& call) {
    if (call.starts_with("work")) RaiseHostException(kContinuedCode, 0);
  };
  dll_.WorkBegin(&receiver.com);
  peer_.Enqueue(PeerReply::Json(kKeyReply));
  peer_.Enqueue(PeerReply::Json(kDoneReply));

  EXPECT_FALSE(CallUnderUnwindingHandler([&] { dll_.Enter(Text(L"5555")); }));

  EXPECT_EQ(receiver.calls.back(), "end 0") << "the request ran to its end";
  EXPECT_EQ(LastError(), "");
  dll_.Leave();
  EXPECT_EQ(peer_.Requests().back().Header("key-id"), "key-1") << "the key was stored";
  dll_.WorkEnd();
}

// A nested export refused as busy raises the library's own exception inside the receiver.
// A host whose handler lets it unwind gets it at the outer call, with its message.
TEST_F(VeltoDll, ARefusalTheHostLetsUnwindEndsTheOuterCallToo) {
  OpenWithIni();
  seen.continue_library_raises = false;
  RecordingEvents receiver;
  receiver.on_call = [&](const std::string& call) {
    if (call.starts_with("work 0")) dll_.Leave();
  };
  dll_.WorkBegin(&receiver.com);
  peer_.Enqueue(PeerReply::Json(kKeyReply));

  const auto unwound = CallUnderUnwindingHandler([&] { dll_.Enter(Text(L"5555")); }, WideText);

  ASSERT_TRUE(unwound);
  EXPECT_EQ(unwound->code, VELTO_EXCEPTION_CODE);
  EXPECT_EQ(unwound->first_parameter_text, "작업 중입니다");
  EXPECT_EQ(seen.raised, (std::vector<std::string>{"0 1 작업 중입니다", "0 1 작업 중입니다"}))
      << "raised by the nested call, then again by the outer one";
  EXPECT_EQ(LastError(), "작업 중입니다");
  seen.continue_library_raises = true;
  receiver.on_call = nullptr;
  peer_.Enqueue(PeerReply::Json(kDoneReply));
  dll_.Leave();
  EXPECT_EQ(LastError(), "") << "the library is idle again";
  EXPECT_EQ(peer_.Requests().size(), 2u);
  dll_.WorkEnd();
}

// A host language whose exception object lives in the frame that raised it (a C++ host
// built with MSVC) passes the object's address: the handler must find the object there,
// although the library's frames were cleaned up in between.
TEST_F(VeltoDll, AParameterThatPointsIntoTheRaisingFrameFindsWhatWasThere) {
  OpenWithIni();
  RecordingEvents receiver;
  receiver.on_call = [](const std::string& call) {
    if (!call.starts_with("work 0")) return;
    const char object[] = "thrown from the receiver's frame";
    const ULONG_PTR parameters[] = {reinterpret_cast<ULONG_PTR>(object)};
    RaiseException(kHostCode, EXCEPTION_NONCONTINUABLE, 1, parameters);
  };
  dll_.WorkBegin(&receiver.com);
  peer_.Enqueue(PeerReply::Json(kKeyReply));

  const auto unwound =
      CallUnderUnwindingHandler([&] { dll_.Enter(Text(L"5555")); },
                                [](ULONG_PTR text) {
                                  const auto* characters = reinterpret_cast<const char*>(text);
                                  return std::string(characters, strnlen(characters, 64));
                                });

  ASSERT_TRUE(unwound);
  EXPECT_EQ(unwound->first_parameter_text, "thrown from the receiver's frame");
  dll_.WorkEnd();
}

ULONG STDCALL RaisingReferenceCount(IVeltoWorkEvents*) {
  RaiseHostException(kHostCode, 0);
  return 1;
}

TEST_F(VeltoDll, AnExceptionFromAddRefOrReleaseReachesTheHost) {
  OpenWithIni();
  RecordingEvents receiver;
  IVeltoWorkEventsVtbl methods = RecordingEvents::kTable;
  methods.AddRef = RaisingReferenceCount;
  receiver.com.lpVtbl = &methods;
  EXPECT_TRUE(CallUnderUnwindingHandler([&] { dll_.WorkBegin(&receiver.com); }));
  peer_.Enqueue(PeerReply::Json(kKeyReply));
  dll_.Enter(Text(L"5555"));
  EXPECT_TRUE(receiver.calls.empty()) << "a receiver whose AddRef raised is not held";

  receiver.com.lpVtbl = &RecordingEvents::kTable;
  dll_.WorkBegin(&receiver.com);
  methods = RecordingEvents::kTable;
  methods.Release = RaisingReferenceCount;
  receiver.com.lpVtbl = &methods;
  EXPECT_TRUE(CallUnderUnwindingHandler([&] { dll_.WorkEnd(); }));
  peer_.Enqueue(PeerReply::Json(kKeyReply));
  dll_.Enter(Text(L"5555"));
  EXPECT_TRUE(receiver.calls.empty()) << "a receiver whose Release raised is let go";
  EXPECT_EQ(LastError(), "");
}

TEST_F(VeltoDll, InitTracesTheSettingsWithTheCardNumberMasked) {
  dll_.Init(Text(Wide(peer_.Root())), Text(L"98765432"), Text(L"site-1"));
  EXPECT_EQ(seen.trace, std::vector<std::string>{"RootUrl = " + peer_.Root() +
                                                 ", UserCardNumber = ****5432, SiteId = site-1"});
  EXPECT_EQ(peer_.Connections(), 0);

  peer_.Enqueue(PeerReply::Json(kKeyReply));
  dll_.Enter(Text(L"1"));
  EXPECT_EQ(peer_.Requests().size(), 1u) << "the root set by VeltoInit is used";
}

TEST_F(VeltoDll, AllocatesStringsTheHostCanFreeEitherWay) {
  const OLECHAR text[] = L"가나다";
  BSTR copy = dll_.AllocString(text, 2);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(SysStringLen(copy), 2u);
  EXPECT_EQ(std::wstring(copy), L"가나");
  SysFreeString(copy);  // the system's BSTR, freed by the system

  BSTR zeros = dll_.AllocString(nullptr, 3);
  EXPECT_EQ(SysStringLen(zeros), 3u);
  EXPECT_EQ(std::wstring(zeros, 3), std::wstring(3, L'\0'));
  dll_.FreeString(zeros);
  dll_.FreeString(nullptr);
}

TEST_F(VeltoDll, UnloadingReleasesAReceiverStillRegisteredAndSendsNothing) {
  OpenWithIni();
  RecordingEvents receiver;
  dll_.WorkBegin(&receiver.com);
  ASSERT_EQ(receiver.references, 2u);

  dll_.Unload();

  EXPECT_EQ(GetModuleHandleW(L"Velto.Box.dll"), nullptr) << "the library is unloaded";
  EXPECT_EQ(receiver.references, 1u);
  EXPECT_TRUE(receiver.calls.empty());
  EXPECT_EQ(peer_.Connections(), 0);
}

ULONG STDCALL ReleaseLoudly(IVeltoWorkEvents*) {
  std::fputs("receiver released", stderr);
  return 1;
}

// At process exit the library releases nothing: the host's objects may be gone by then.
TEST_F(VeltoDll, ReleasesNothingWhenTheProcessExits) {
  IVeltoWorkEventsVtbl methods = RecordingEvents::kTable;
  methods.Release = ReleaseLoudly;
  IVeltoWorkEvents receiver{&methods};
  EXPECT_EXIT(
      {
        dll_.WorkBegin(&receiver);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("released")));
}

// A thread's kept failure goes when the thread ends. Threads that keep a failure end, then
// new threads start until one is given the id of one of them (Windows hands ids out again
// soon, Wine once a few hundred are free); that thread must find nothing kept.
TEST_F(VeltoDll, ANewThreadIsNotGivenTheFailureOfAnEndedThreadWithItsId) {
  dll_.Init(Text(L""), Text(L""), Text(L""));  // every request fails at once
  std::set<DWORD> ended;
  for (int i = 0; i < 300; ++i) {
    std::thread([&] {
      dll_.Enter(Text(L"1"));
      ended.insert(GetCurrentThreadId());
    }).join();
  }
  EXPECT_EQ(seen.raised.size(), 300u);
  for (int attempt = 0; attempt < 2000; ++attempt) {
    bool reused = false;
    std::string kept;
    std::thread([&] {
      reused = ended.contains(GetCurrentThreadId());
      kept = LastError();
    }).join();
    if (!reused) continue;
    EXPECT_EQ(kept, "");
    return;
  }
  GTEST_SKIP() << "no thread was given an ended thread's id";
}

}  // namespace
}  // namespace velto
