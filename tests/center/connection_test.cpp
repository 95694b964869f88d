// The connection on the wire, through TVeltoDAO against the capturing peer.
#include <gtest/gtest.h>

#include <filesystem>

#include "center_fixture.h"
#include "recording_events.h"
#include "scratch_path.h"
#include "velto/closed_port.h"
#include "velto/dao.h"
#include "velto/file_dao.h"
#include "velto/http_error.h"
#include "velto/multipart_form.h"
#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "velto/string_stream.h"  // a host stream with the Linux COM layout
#endif

namespace velto::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A file of `size` bytes that takes next to no room on disk: its end is set, nothing is
// written. False, and no file left, where the file system would store it whole.
bool MakeSparseFile(const fs::path& path, uint64_t size) {
  constexpr uint64_t kRoom = 1 << 20;
  bool sparse = false;
#ifdef _WIN32
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD unused = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  FILE_STANDARD_INFO standard{};
  sparse = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
           GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) &&
           static_cast<uint64_t>(standard.AllocationSize.QuadPart) < kRoom;
  CloseHandle(file);
#else
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat status {};
  sparse = ftruncate(fd, static_cast<off_t>(size)) == 0 && fstat(fd, &status) == 0 &&
           static_cast<uint64_t>(status.st_blocks) * 512 < kRoom;
  close(fd);
#endif
  if (!sparse) fs::remove(path);
  return sparse;
}

std::u16string FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Exception& error) {
    return error.Message();
  }
  return u"no failure";
}

TEST_F(CenterTest, SendsEachVerbWithItsHeaders) {
  TVeltoCenter::SetKey({u"", u"key-1"});
  for (int i = 0; i < 4; ++i) peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoGet(u"/users?name=a+b");
  TVeltoDAO::DoPost(u"/users", u"{\"name\":\"가\"}");
  TVeltoDAO::DoPut(u"/users/1", u"{}");
  TVeltoDAO::DoDelete(u"/users/1");
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 4u);
  const char* lines[] = {"GET /users?name=a+b HTTP/1.1", "POST /users HTTP/1.0",
                         "PUT /users/1 HTTP/1.1", "DELETE /users/1 HTTP/1.1"};
  for (size_t i = 0; i < requests.size(); ++i) {
    const PeerRequest& request = requests[i];
    EXPECT_EQ(request.RequestLine(), lines[i]);
    EXPECT_EQ(request.Header("key-id"), "key-1");
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/3.0 (compatible; Velto.Box)");
    EXPECT_EQ(request.Header("Accept"),
              "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_FALSE(request.HasHeader("Expect"));
    EXPECT_FALSE(request.HasHeader("Authorization"));
    const bool has_body = request.Method() == "POST" || request.Method() == "PUT";
    EXPECT_EQ(request.HasHeader("Content-Type"), has_body) << lines[i];
    if (has_body) {
      EXPECT_EQ(request.Header("Content-Type"), "application/json; charset=utf-8");
    }
  }
  EXPECT_EQ(requests[1].Body(), "{\"name\":\"\xEA\xB0\x80\"}");
  EXPECT_EQ(requests[1].Header("Content-Length"), "14");
}

TEST_F(CenterTest, SendsALargeBodyWithoutWaitingFor100Continue) {
  const std::u16string body(2 << 20, u'b');
  peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoPut(u"/big", body);
  const PeerRequest request = OnlyRequest();
  EXPECT_FALSE(request.HasHeader("Expect"));
  EXPECT_EQ(request.Body().size(), body.size());
}

TEST_F(CenterTest, CarriesNoKeyHeaderWithoutAKey) {
  peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoGet(u"/users");
  EXPECT_FALSE(OnlyRequest().HasHeader("key-id"));
}

TEST_F(CenterTest, PutsTheRootInFrontOfThePathAsItIs) {
  TVeltoCenter::SetRoot(TVeltoCenter::Root() + u"/");
  peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoGet(u"/users");
  EXPECT_EQ(OnlyRequest().Target(), "//users");
  EXPECT_EQ(TVeltoCenter::GetPath(u"/x"), TVeltoCenter::Root() + u"/x");
}

TEST_F(CenterTest, KeepsGetPutDeleteOnOneConnectionAndPostsAloneOnFreshOnes) {
  for (int i = 0; i < 5; ++i) peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoGet(u"/a");
  TVeltoDAO::DoPut(u"/b", u"{}");
  TVeltoDAO::DoPost(u"/c", u"{}");
  TVeltoDAO::DoDelete(u"/d");
  TVeltoDAO::DoPost(u"/e", u"{}");
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[1].connection, requests[0].connection) << "PUT reuses the connection";
  EXPECT_EQ(requests[1].Version(), "HTTP/1.1");
  EXPECT_EQ(requests[3].Version(), "HTTP/1.1") << "back at HTTP/1.1 after a POST";
#ifdef _WIN32
  // WinHTTP may send a POST on its pooled connection (a fresh one would cost its own cookie
  // handling); the POST goes without keep-alive, so nothing after it shares its connection.
  for (const size_t post : {2u, 4u}) {
    EXPECT_EQ(requests[post].Version(), "HTTP/1.0");
    EXPECT_FALSE(requests[post].HasHeader("Connection"));
  }
  EXPECT_NE(requests[3].connection, requests[2].connection) << "the POST's connection ended";
#else
  EXPECT_EQ(requests[3].order_on_connection, 0) << "the POST closed the connection before it";
  for (const size_t post : {2u, 4u}) {
    EXPECT_EQ(requests[post].Version(), "HTTP/1.0");
    EXPECT_EQ(requests[post].order_on_connection, 0) << "a POST opens its own connection";
    for (size_t other = 0; other < requests.size(); ++other) {
      if (other != post) {
        EXPECT_NE(requests[other].connection, requests[post].connection);
      }
    }
  }
#endif
}

TEST_F(CenterTest, RaisesTheStatusLineOfEveryNon2xxReply) {
  const char* lines[] = {"HTTP/1.1 404 Not Found",    "HTTP/1.1 500 Internal Server Error",
                         "HTTP/1.1 401 Unauthorized", "HTTP/1.1 302 Found",
                         "HTTP/1.1 304 Not Modified", "HTTP/1.0 418 I'm  a teapot "};
  for (const char* line : lines) {
    const bool redirect = std::string_view(line).find(" 30") != std::string_view::npos;
    peer_.Enqueue(PeerReply::Http(line, redirect ? "" : "{\"code\":\"100\"}",
                                  {{"Location", "/elsewhere"}, {"WWW-Authenticate", "Basic"}}));
    EXPECT_EQ(FailureOf([] { TVeltoDAO::DoGet(u"/x"); }), Utf8ToUtf16(line));
  }
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 503 Busy"));
  try {
    TVeltoDAO::DoDelete(u"/x");
    ADD_FAILURE() << "a 503 reply was taken as success";
  } catch (const EHttpError& error) {
    EXPECT_EQ(error.StatusCode(), 503);
  }
  EXPECT_EQ(peer_.Requests().size(), 7u) << "no redirect followed, no credentials retried";
}

TEST_F(CenterTest, ReturnsAn204BodyAsEmptyText) {
  peer_.Enqueue(PeerReply::Raw("HTTP/1.1 204 No Content\r\n\r\n"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"");
}

TEST_F(CenterTest, SendsCookiesBackOnLaterRequests) {
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", "{}", {{"Set-Cookie", "SID=abc; Path=/"}}));
  for (int i = 0; i < 3; ++i) peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoPost(u"/login", u"x");
  TVeltoDAO::DoGet(u"/a");
  TVeltoDAO::DoPost(u"/b", u"{}");
  // As when VeltoOpen reads other TLS settings and time limits.
  TransportSettings changed;
  changed.tls_verify = false;
  changed.connect_timeout = std::chrono::seconds(20);
  TVeltoCenter::SetSettings(changed);
  TVeltoDAO::DoGet(u"/c");
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_FALSE(requests[0].HasHeader("Cookie"));
  for (size_t i = 1; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].Header("Cookie"), "SID=abc") << requests[i].Target();
  }
}

TEST_F(CenterTest, DecodesGetAndDeleteByTheirCharsetAndPostAndPutAsUtf8) {
  const std::string euc_kr = "\"\xB0\xA1\"";  // "가" in EUC-KR
  const auto reply = [](std::string body, std::string type) {
    return PeerReply::Http("HTTP/1.1 200 OK", body, {{"Content-Type", type}});
  };
  peer_.Enqueue(reply(euc_kr, "application/json; charset=euc-kr"));
  peer_.Enqueue(reply(euc_kr, "application/json; charset=EUC-KR"));
  peer_.Enqueue(reply("\"caf\xE9\"", "text/plain; charset=iso-8859-1"));
  peer_.Enqueue(reply("\"\xEA\xB0\x80\"", "application/json"));
  peer_.Enqueue(reply("\"\xEA\xB0\x80\"", "application/json; charset=iso-8859-1"));
  peer_.Enqueue(reply("\"\xEA\xB0\x80\"", "application/json; charset=iso-8859-1"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/a"), u"\"가\"");
  EXPECT_EQ(TVeltoDAO::DoDelete(u"/a"), u"\"가\"");
  EXPECT_EQ(TVeltoDAO::DoGet(u"/a"), u"\"café\"");
  EXPECT_EQ(TVeltoDAO::DoGet(u"/a"), u"\"가\"") << "no charset: UTF-8";
  EXPECT_EQ(TVeltoDAO::DoPost(u"/a", u""), u"\"가\"") << "POST replies are UTF-8 whatever they say";
  EXPECT_EQ(TVeltoDAO::DoPut(u"/a", u""), u"\"가\"");
}

TEST_F(CenterTest, ReportsProgressPerDirectionInOrder) {
  RecordingEvents events;
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);
  EXPECT_EQ(events.references, 2u);
  peer_.Enqueue(PeerReply::Json("{\"ok\":1}"));
  TVeltoDAO::DoPost(u"/a", u"abcd");
  const std::vector<std::string> expected = {"begin 1 4", "work 1 4", "end 1",
                                             "begin 0 8", "work 0 8", "end 0"};
  EXPECT_EQ(events.calls, expected);
  TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
  EXPECT_EQ(events.references, 1u);
  events.calls.clear();
  peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoGet(u"/a");
  EXPECT_TRUE(events.calls.empty()) << "no receiver, no calls";
}

#ifndef _WIN32  // Wine's WinHTTP fails such a request (error 12152) instead of sending it again
// A kept-alive connection that the server drops with the request unanswered: the request
// goes again on a new connection, and its body's progress is reported again from the start.
TEST_F(CenterTest, ReportsTheProgressOfABodySentAgain) {
  peer_.Enqueue(PeerReply::Json("{}"));
  peer_.Enqueue(PeerReply::Raw("").Close());
  peer_.Enqueue(PeerReply::Json("{\"ok\":1}"));
  TVeltoDAO::DoGet(u"/a");
  RecordingEvents events;
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);
  EXPECT_EQ(TVeltoDAO::DoPut(u"/b", u"abcd"), u"{\"ok\":1}");
  TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].connection, requests[0].connection);
  EXPECT_NE(requests[2].connection, requests[1].connection);
  EXPECT_EQ(requests[2].Body(), "abcd");
  const std::vector<std::string> expected = {"begin 1 4", "work 1 4", "end 1",
                                             "begin 1 4", "work 1 4", "end 1",
                                             "begin 0 8", "work 0 8", "end 0"};
  EXPECT_EQ(events.calls, expected);
}
#endif

TEST_F(CenterTest, RefusesARequestFromInsideAProgressCallback) {
  RecordingEvents events;
  std::u16string inner;
  events.on_call = [&](const std::string& call) {
    if (call.starts_with("work")) inner = FailureOf([] { TVeltoDAO::DoGet(u"/inner"); });
  };
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);
  peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/outer"), u"{}");
  EXPECT_EQ(inner, u"작업 중입니다");
  EXPECT_EQ(peer_.Requests().size(), 1u);
  TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
}

TEST_F(CenterTest, RefusesAKeyThatWouldBreakTheHeader) {
  const std::u16string bad_keys[] = {u"a\r\nX-Evil: 1", u"a\nb", std::u16string(u"a\0b", 3)};
  for (const std::u16string& bad : bad_keys) {
    TVeltoCenter::SetKey({u"", bad});
    EXPECT_NE(FailureOf([] { TVeltoDAO::DoGet(u"/x"); }).find(u"key-id"), std::u16string::npos);
  }
  EXPECT_TRUE(peer_.Requests().empty()) << "nothing was sent";
  TVeltoCenter::SetKey({u"", u"good"});
  peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}") << "the busy flag was released";
}

TEST_F(CenterTest, PostsAFormWithAFileStreamedFromDisk) {
  const std::string path = ::testing::TempDir() + "velto-upload.txt";
  const std::string content(100000, 'z');
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }
  TMultipartForm form({2024, 3, 5, 14, 7, 9, 42});
  form.AddFilePart(u"file", Utf8ToUtf16(path));
  form.AddBareTextPart(u"file-name", "velto-upload.txt");
  const uint64_t size = form.Size();
  peer_.Enqueue(PeerReply::Json("{}"));
  TVeltoDAO::DoPost(u"/files/7", form);
  std::remove(path.c_str());
  const PeerRequest request = OnlyRequest();
  EXPECT_EQ(request.Header("Content-Type"),
            "multipart/form-data; boundary=--------030524140709042");
  EXPECT_EQ(request.Header("Content-Length"), std::to_string(size));
  const std::string body = request.Body();
  EXPECT_EQ(body.size(), size);
  EXPECT_TRUE(
      body.starts_with("----------030524140709042\r\nContent-Disposition: form-data; "
                       "name=\"file\"; filename=\"velto-upload.txt\"\r\nContent-Type: "
                       "text/plain\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
                       content + "\r\n"));
  EXPECT_TRUE(body.ends_with("velto-upload.txt\r\n----------030524140709042--\r\n"));
}

// A form over 4 GiB announces its whole length. The file is sparse and the peer hangs up
// once the head is in, so next to nothing is read or sent.
TEST_F(CenterTest, PostsAFormOver4GiBWithItsWholeLength) {
  const fs::path path = ScratchPath("large-form");
  constexpr uint64_t kFileSize = (uint64_t{1} << 32) + 5;
  if (!MakeSparseFile(path, kFileSize)) GTEST_SKIP() << "the file system keeps no sparse files";
  uint64_t size = 0;
  {
    TMultipartForm form({2024, 3, 5, 14, 7, 9, 42});
    form.AddFilePart(u"file", path.u16string());
    size = form.Size();
    peer_.Enqueue(PeerReply::Json("{}").AfterHead());
    try {
      TVeltoDAO::DoPost(u"/files/7", form);
    } catch (const TransportError&) {  // the peer hung up in the middle of the body
    }
  }
  fs::remove(path);
  EXPECT_GT(size, kFileSize);
  EXPECT_EQ(OnlyRequest().Header("Content-Length"), std::to_string(size));
}

#ifndef _WIN32  // the host stream here has the Linux COM layout
TEST_F(CenterTest, DownloadsIntoTheHostStreamUnchanged) {
  StringStream host;
  const std::string bytes("\xB0\xA1\0binary", 9);
  peer_.Enqueue(
      PeerReply::Http("HTTP/1.1 200 OK", bytes, {{"Content-Type", "text/plain; charset=euc-kr"}}));
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 404 Not Found", "error page"));
  TVeltoDAO::DoGet(u"/files/1/data", &host.com);
  EXPECT_EQ(host.data, bytes);
  EXPECT_THROW(TVeltoDAO::DoGet(u"/files/2/data", &host.com), EHttpError);
  EXPECT_EQ(host.data, bytes) << "an error reply's body does not reach the stream";
  EXPECT_EQ(host.references, 1u);
}

// Larger than any buffer the transport receives into: the pieces must reach the stream in
// order, none lost or repeated, with progress that climbs to the total.
TEST_F(CenterTest, DownloadsABodyOfManyPiecesIntactWithClimbingProgress) {
  std::string bytes((3 << 20) + 5, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + (i >> 12));
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", bytes));
  RecordingEvents events;
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);
  StringStream host;
  TVeltoDAO::DoGet(u"/files/1/data", &host.com);
  TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
  EXPECT_EQ(host.data.size(), bytes.size());
  EXPECT_TRUE(host.data == bytes) << "the bytes arrived changed or out of order";
  const std::string total = std::to_string(bytes.size());
  ASSERT_GE(events.calls.size(), 4u) << "several pieces, each reported";
  EXPECT_EQ(events.calls.front(), "begin 0 " + total);
  EXPECT_EQ(events.calls[events.calls.size() - 2], "work 0 " + total);
  EXPECT_EQ(events.calls.back(), "end 0");
  int64_t previous = 0;
  for (size_t i = 1; i + 1 < events.calls.size(); ++i) {
    const int64_t count = std::stoll(events.calls[i].substr(std::string("work 0 ").size()));
    EXPECT_GT(count, previous) << events.calls[i];
    previous = count;
  }
}
#else  // the system's own memory stream, as a Windows host would hand one over
TEST_F(CenterTest, DownloadsIntoTheHostStreamUnchanged) {
  IStream* host = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &host), S_OK);
  const std::string bytes("\xB0\xA1\0binary", 9);
  peer_.Enqueue(
      PeerReply::Http("HTTP/1.1 200 OK", bytes, {{"Content-Type", "text/plain; charset=euc-kr"}}));
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 404 Not Found", "error page"));
  TVeltoDAO::DoGet(u"/files/1/data", host);
  EXPECT_THROW(TVeltoDAO::DoGet(u"/files/2/data", host), EHttpError);
  STATSTG status{};
  ASSERT_EQ(host->Stat(&status, STATFLAG_NONAME), S_OK);
  HGLOBAL memory = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(host, &memory), S_OK);
  const std::string data(static_cast<const char*>(GlobalLock(memory)), status.cbSize.QuadPart);
  GlobalUnlock(memory);
  EXPECT_EQ(data, bytes) << "only the successful reply's bytes, unchanged";
  EXPECT_EQ(host->Release(), 0u) << "no reference is left behind";
}
#endif

TEST_F(CenterTest, ADownloadWithoutAStreamFailsBeforeAnythingIsSent) {
  const std::function<void()> downloads[] = {
      [] { TVeltoDAO::DoGet(u"/files/1/data", nullptr); },
      [] {
        TVeltoFile file;
        file.Id = u"f1";
        TVeltoFileDAO::GetData(file, nullptr);
      },
  };
  for (const auto& download : downloads) {
    EXPECT_EQ(FailureOf(download), u"No stream was given to receive the download");
  }
  EXPECT_TRUE(peer_.Requests().empty());
  peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}") << "the connection is not left busy";
}

TEST_F(CenterTest, FailsOnABrokenConnectionAndRecovers) {
  const struct {
    const char* name;
    PeerReply reply;
  } cases[] = {
      {"reset", PeerReply::Raw("").Reset()},
      {"closed", PeerReply::Raw("").Close()},
      {"short body", PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort").Close()},
      {"short body, blanks around the length",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length:  100 \r\n\r\nshort").Close()},
      {"cut inside a header", PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Le").Close()},
      {"cut after the status line", PeerReply::Raw("HTTP/1.1 200 OK\r\n").Close()},
      {"cut before the empty line",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n").Close()},
#ifndef _WIN32  // Wine's WinHTTP takes a close for the last chunk: nothing tells these apart
      {"chunked, cut after a chunk",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")
           .Close()},
      {"chunked, cut inside a chunk",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nA\r\nhello").Close()},
#endif
  };
  for (const auto& c : cases) {
    peer_.Enqueue(c.reply);
    EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError) << c.name;
  }
  peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}");
}

TEST_F(CenterTest, FailsWhenNothingListens) {
  const ClosedPort closed;
  TVeltoCenter::SetRoot(Utf8ToUtf16(closed.Root()));
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
  TVeltoCenter::SetRoot(u"");
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
}

}  // namespace
}  // namespace velto::test
