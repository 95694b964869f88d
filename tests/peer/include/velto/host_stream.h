#pragma once

// A host's download target: on Linux a stream over a string with the COM layout made by
// hand, on Windows the system's own memory stream, as a Windows host would hand one over.

#include <gtest/gtest.h>

#include <string>

#include "velto_box.h"

#ifndef _WIN32
#include "velto/string_stream.h"
#endif

namespace velto::test {

#ifndef _WIN32
class HostStream {
 public:
  IStream* get() { return &stream_.com; }
  std::string Data() const { return stream_.data; }

 private:
  StringStream stream_;
};
#else
class HostStream {
 public:
  HostStream() { EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream_), S_OK); }
  ~HostStream() { EXPECT_EQ(stream_->Release(), 0u) << "no reference is left behind"; }
  HostStream(const HostStream&) = delete;
  HostStream& operator=(const HostStream&) = delete;

  IStream* get() { return stream_; }
  std::string Data() const {
    STATSTG status{};
    HGLOBAL memory = nullptr;
    if (stream_->Stat(&status, STATFLAG_NONAME) != S_OK ||
        GetHGlobalFromStream(stream_, &memory) != S_OK) {
      ADD_FAILURE() << "the memory stream cannot be read";
      return {};
    }
    const std::string data(static_cast<const char*>(GlobalLock(memory)),
                           static_cast<size_t>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return data;
  }

 private:
  IStream* stream_ = nullptr;
};
#endif

}  // namespace velto::test
