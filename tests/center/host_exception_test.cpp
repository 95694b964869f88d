// A structured exception that the host's code raises while the library calls it (Windows):
// the library's work on the way is ended and cleaned up, and the exception is kept for the
// export to raise again.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "center_fixture.h"
#include "recording_events.h"
#include "scratch_path.h"
#include "velto/dao.h"
#include "velto/file_dao.h"
#include "velto/host_call.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kHostCode = 0xE0484F53;

void RaiseHostException() {
  RaiseException(kHostCode, 0, 0, nullptr);
}

std::vector<DWORD> raised_again;

LONG CALLBACK ContinueHostException(EXCEPTION_POINTERS* pointers) {
  if (pointers->ExceptionRecord->ExceptionCode != kHostCode) return EXCEPTION_CONTINUE_SEARCH;
  raised_again.push_back(pointers->ExceptionRecord->ExceptionCode);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// What the export boundary raises again; the host continues it here.
std::vector<DWORD> RaisedAgain() {
  raised_again.clear();
  PVOID handler = AddVectoredExceptionHandler(1, ContinueHostException);
  RaisePendingHostException();
  RemoveVectoredExceptionHandler(handler);
  return raised_again;
}

// The host's download stream: memory, whose Write or Release can be made to raise. COM
// interfaces have no virtual destructor; objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class HostStream final : public IStream {
 public:
  HostStream() { EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &memory_), S_OK); }
  ~HostStream() { memory_->Release(); }
  HostStream(const HostStream&) = delete;
  HostStream& operator=(const HostStream&) = delete;

  bool raise_in_write = false;
  bool raise_in_release = false;
  ULONG references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    --references;
    if (raise_in_release) RaiseHostException();
    return references;
  }
  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG count, ULONG* done) override {
    return memory_->Read(data, count, done);
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG count, ULONG* done) override {
    if (raise_in_write) RaiseHostException();
    return memory_->Write(data, count, done);
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) override {
    return memory_->Seek(move, origin, position);
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD flags) override {
    return memory_->Stat(status, flags);
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  uint64_t Size() {
    STATSTG status{};
    memory_->Stat(&status, STATFLAG_NONAME);
    return status.cbSize.QuadPart;
  }

 private:
  IStream* memory_ = nullptr;
};
#pragma GCC diagnostic pop

const TVeltoFile kFile{u"s1", u"p1", u"i1", u"f1", u"", u"", u"", u"", 0};

void ExpectIdle(TestPeer& peer) {
  peer.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/next"), u"{}") << "the connection is idle again";
}

TEST_F(CenterTest, AHostExceptionDuringAnUploadLeavesTheFileFreeAndTheConnectionIdle) {
  const fs::path path = ScratchPath("upload");
  std::ofstream(path, std::ios::binary) << std::string(200000, 'u');
  RecordingEvents events;
  events.on_call = [](const std::string& call) {
    if (call.starts_with("work 1")) RaiseHostException();
  };
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);

  EXPECT_THROW(TVeltoFileDAO::Add(kFile, path.u16string()), HostException);

  const HANDLE writer = CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "the file being sent was closed";
  CloseHandle(writer);
  EXPECT_EQ(events.calls.back(), "end 1") << "the upload's progress was ended";
  EXPECT_EQ(RaisedAgain(), std::vector<DWORD>{kHostCode});
  TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
  ExpectIdle(peer_);
  fs::remove(path);
}

TEST_F(CenterTest, AHostExceptionFromTheDownloadStreamEndsTheDownload) {
  {
    HostStream host;
    host.raise_in_write = true;
    peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", "file bytes"));
    EXPECT_THROW(TVeltoFileDAO::GetData(kFile, &host), HostException);
    EXPECT_EQ(host.references, 1u) << "the stream was released";
    EXPECT_EQ(RaisedAgain(), std::vector<DWORD>{kHostCode});
    ExpectIdle(peer_);
  }
  {
    // Release runs in a destructor, which cannot throw: the download completes and the
    // exception waits for the export.
    HostStream host;
    host.raise_in_release = true;
    peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", "file bytes"));
    TVeltoFileDAO::GetData(kFile, &host);
    EXPECT_EQ(host.Size(), 10u);
    EXPECT_TRUE(HostExceptionPending());
    EXPECT_EQ(RaisedAgain(), std::vector<DWORD>{kHostCode});
    EXPECT_FALSE(HostExceptionPending());
    ExpectIdle(peer_);
  }
}

}  // namespace
}  // namespace velto::test
