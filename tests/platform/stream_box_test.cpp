#include "velto/stream_box.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "velto/exception.h"
#include "velto_box.h"

namespace velto {
namespace {

// A host stream over a string, with the Linux COM layout.
struct StringStream {
  IStream com;
  std::string data;
  uint64_t position = 0;
  ULONG references = 1;
  uint32_t last_origin = 99;

  static StringStream* Self(IStream* s) { return reinterpret_cast<StringStream*>(s); }
  static ULONG STDCALL AddRef(IStream* s) { return ++Self(s)->references; }
  static ULONG STDCALL Release(IStream* s) { return --Self(s)->references; }
  static HRESULT STDCALL Read(IStream* s, void* buffer, ULONG count, ULONG* read) {
    StringStream& self = *Self(s);
    const ULONG n = static_cast<ULONG>(std::min<uint64_t>(count, self.data.size() - self.position));
    std::memcpy(buffer, self.data.data() + self.position, n);
    self.position += n;
    *read = n;
    return 0;
  }
  static HRESULT STDCALL Write(IStream* s, const void* buffer, ULONG count, ULONG* written) {
    StringStream& self = *Self(s);
    self.data.append(static_cast<const char*>(buffer), count);
    *written = count;
    return 0;
  }
  static HRESULT STDCALL Seek(IStream* s, int64_t move, uint32_t origin, uint64_t* at) {
    StringStream& self = *Self(s);
    self.last_origin = origin;
    self.position = static_cast<uint64_t>(move) + (origin == 2 ? self.data.size() : 0) +
                    (origin == 1 ? self.position : 0);
    *at = self.position;
    return 0;
  }
  static constexpr IStreamVtbl kTable = {nullptr, AddRef,  Release, Read,    Write,
                                         Seek,    nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr};

  StringStream() : com{&kTable} {}
};

TEST(TStreamBox, ReadsWritesAndSeeksTheHostStream) {
  StringStream host;
  {
    TStreamBox box(&host.com);
    EXPECT_EQ(host.references, 2u);
    EXPECT_EQ(box.Write("hello", 5), 5);
    EXPECT_EQ(box.Seek(1, 0), 1);
    char buffer[8] = {};
    EXPECT_EQ(box.Read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "ello");
    EXPECT_EQ(box.Seek(-2, 2), 3);
    EXPECT_EQ(host.last_origin, 2u);
  }
  EXPECT_EQ(host.references, 1u) << "the box releases its reference";
}

TEST(TStreamBox, RefusesNegativeCountsAndPositionsBeyond32Bits) {
  StringStream host;
  TStreamBox box(&host.com);
  char byte = 0;
  EXPECT_THROW(box.Read(&byte, -1), Exception);
  EXPECT_THROW(box.Write(&byte, -1), Exception);
  host.data.assign(16, 'x');
  host.position = 0;
  EXPECT_THROW(box.Seek(0x7FFFFFFF, 2), Exception);
}

}  // namespace
}  // namespace velto
