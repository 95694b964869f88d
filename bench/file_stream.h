#pragma once

#include <string>

#include "velto_box.h"

namespace velto::bench {

// A host stream that writes into a new file, as a host saving a download does. Only
// AddRef, Release and Write are ever called by the library's download path.
class FileStream {
 public:
  explicit FileStream(const std::string& path);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream();

  IStream* Com() { return &com_; }

 private:
  static FileStream& Self(IStream* stream);
  static ULONG STDCALL AddRef(IStream* stream);
  static ULONG STDCALL Release(IStream* stream);
  static HRESULT STDCALL Write(IStream* stream, const void* buffer, ULONG count, ULONG* written);

  static const IStreamVtbl kTable;

  IStream com_;
  int fd_ = -1;
  ULONG references_ = 1;
};

}  // namespace velto::bench
