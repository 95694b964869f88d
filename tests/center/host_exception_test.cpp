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
#include "scripted_host_stream.h"
#include "velto/dao.h"
#include "velto/file_dao.h"
#include "velto/host_call.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

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
    ScriptedHostStream host;
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
    ScriptedHostStream host;
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
