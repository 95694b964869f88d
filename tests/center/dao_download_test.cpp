// A file's download into the host's stream: the reply's bytes, and only a success's.
#include <gtest/gtest.h>

#include <string>

#include "center_fixture.h"
#include "dao_test_support.h"
#include "velto/closed_port.h"
#include "velto/file_dao.h"
#include "velto/host_stream.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

std::string EveryByte() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

// The same body in two pieces, the second after a pause.
PeerReply InPieces(std::string_view status_line, const std::string& body) {
  PeerReply reply = PeerReply::Http(status_line, body);
  std::string& bytes = reply.pieces.front().bytes;
  const std::string tail = bytes.substr(bytes.size() - body.size() / 2);
  bytes.resize(bytes.size() - tail.size());
  reply.pieces.push_back({20ms, tail});
  return reply;
}

PeerReply Chunked(std::string_view status_line, std::string_view body) {
  char size[16];
  std::snprintf(size, sizeof size, "%zx", body.size());
  return PeerReply::Raw(std::string(status_line) + "\r\nTransfer-Encoding: chunked\r\n\r\n" + size +
                        "\r\n" + std::string(body) + "\r\n0\r\n\r\n");
}

const TVeltoFile kFile{u"s1", u"p1", u"i1", u"f1", u"", u"", u"", u"", 0};

TEST_F(CenterTest, DownloadsOnlyASuccessfulReplyIntoTheStream) {
  const std::string every_byte = EveryByte();
  const std::string large(300000, '\xA5');
  const std::string envelope = R"({"code":"301","message":"no such file","value":null})";
  const struct {
    std::string name;
    PeerReply reply;
    std::string stored;  // what the stream must hold afterwards
    bool raises;
  } cases[] = {
      {"every byte value", PeerReply::Http("HTTP/1.1 200 OK", every_byte), every_byte, false},
      {"in pieces", InPieces("HTTP/1.1 200 OK", large), large, false},
      {"chunked", Chunked("HTTP/1.1 200 OK", every_byte), every_byte, false},
      {"empty", PeerReply::Http("HTTP/1.1 200 OK"), "", false},
      {"an error envelope is just bytes", PeerReply::Json(envelope), envelope, false},
      {"status 404", PeerReply::Http("HTTP/1.1 404 Not Found", "error page"), "", true},
      {"status 500, large", InPieces("HTTP/1.1 500 Internal Server Error", large), "", true},
      {"status 500, chunked", Chunked("HTTP/1.1 500 Internal Server Error", envelope), "", true},
      {"redirect", PeerReply::Http("HTTP/1.1 302 Found", "moved", {{"Location", "/file/f2/data"}}),
       "", true},
  };
  TVeltoCenter::SetKey({u"", u"k-1"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostStream host;
    peer_.Enqueue(c.reply);
    if (c.raises) {
      EXPECT_THROW(TVeltoFileDAO::GetData(kFile, host.get()), EHttpError);
    } else {
      TVeltoFileDAO::GetData(kFile, host.get());
    }
    EXPECT_EQ(host.Data(), c.stored);
    const PeerRequest request = peer_.Requests().back();
    EXPECT_EQ(request.Method(), "GET");
    EXPECT_EQ(request.Target(), "/file/f1/data");
    EXPECT_EQ(request.Header("key-id"), "k-1");
  }
  EXPECT_EQ(peer_.Requests().size(), std::size(cases)) << "the redirect was not followed";
}

TEST_F(CenterTest, ADownloadFailsOnABrokenOrBusyConnection) {
  {
    HostStream host;
    peer_.Enqueue(
        PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes").Close());
    EXPECT_THROW(TVeltoFileDAO::GetData(kFile, host.get()), TransportError);
    EXPECT_TRUE(std::string("first bytes").starts_with(host.Data()))
        << "only bytes that arrived: " << host.Data();
  }
  // A reply cut off before its headers end is no empty file.
  for (const char* cut : {"HTTP/1.1 200 OK\r\nContent-Le", "HTTP/1.1 200 OK\r\n"}) {
    HostStream host;
    peer_.Enqueue(PeerReply::Raw(cut).Close());
    EXPECT_THROW(TVeltoFileDAO::GetData(kFile, host.get()), TransportError) << cut;
    EXPECT_EQ(host.Data(), "");
  }
  {
    HostStream host;
    WhileBusy(peer_, [&] {
      ExpectFailure(Summed([&] { TVeltoFileDAO::GetData(kFile, host.get()); }), Raised::Busy, u"");
    });
    EXPECT_EQ(host.Data(), "");
  }
  {
    HostStream host;
    const ClosedPort closed;
    TVeltoCenter::SetRoot(Utf8ToUtf16(closed.Root()));
    EXPECT_THROW(TVeltoFileDAO::GetData(kFile, host.get()), TransportError);
    EXPECT_EQ(host.Data(), "");
  }
}

}  // namespace
}  // namespace velto::test
