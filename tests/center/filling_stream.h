#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "velto_box.h"

#ifndef _WIN32
#include "velto/string_stream.h"
#else
#include "scripted_host_stream.h"
#endif

namespace velto::test {

// A host stream that takes at most `room` bytes; once full, a write takes what still fits
// and answers `full_answer`.
#ifndef _WIN32
class FillingStream {
 public:
  FillingStream(size_t room, HRESULT full_answer) : room_(room), full_answer_(full_answer) {
    table_.Write = Write;
    stream_.com.lpVtbl = &table_;
  }
  IStream* get() { return &stream_.com; }
  std::string Data() const { return stream_.data; }
  ULONG References() const { return stream_.references; }

 private:
  static HRESULT STDCALL Write(IStream* s, const void* buffer, ULONG count, ULONG* written) {
    FillingStream& self = *reinterpret_cast<FillingStream*>(s);
    const auto taken =
        static_cast<ULONG>(std::min<size_t>(count, self.room_ - self.stream_.data.size()));
    self.stream_.data.append(static_cast<const char*>(buffer), taken);
    *written = taken;
    return taken < count ? self.full_answer_ : 0;
  }

  StringStream stream_;  // first: the stream's address is the object's
  size_t room_;
  HRESULT full_answer_;
  IStreamVtbl table_ = StringStream::kTable;
};
#else
class FillingStream {
 public:
  FillingStream(size_t room, HRESULT full_answer) {
    stream_.room = room;
    stream_.full_answer = full_answer;
  }
  IStream* get() { return &stream_; }
  std::string Data() { return stream_.Data(); }
  ULONG References() const { return stream_.references; }

 private:
  ScriptedHostStream stream_;
};
#endif

}  // namespace velto::test
