#pragma once

#ifndef _WIN32  // Windows hosts implement the real IStream

#include <algorithm>
#include <cstring>
#include <string>

#include "velto_box.h"

namespace velto::test {

// A host stream over a string, made by hand with the Linux COM layout (Windows hosts use
// the real IStream).
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

}  // namespace velto::test

#endif
