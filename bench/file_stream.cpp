#include "file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <stdexcept>
#include <system_error>

namespace velto::bench {
namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kWriteFault = static_cast<HRESULT>(0x8003001Du);  // STG_E_WRITEFAULT

}  // namespace

const IStreamVtbl FileStream::kTable = {nullptr, AddRef,  Release, nullptr, Write,
                                        nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr};

FileStream::FileStream(const std::string& path) : com_{&kTable} {
  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd_ < 0) throw std::system_error(errno, std::generic_category(), path);
}

FileStream::~FileStream() {
  close(fd_);
}

FileStream& FileStream::Self(IStream* stream) {
  static_assert(offsetof(FileStream, com_) == 0);
  return *reinterpret_cast<FileStream*>(stream);
}

ULONG STDCALL FileStream::AddRef(IStream* stream) {
  return ++Self(stream).references_;
}

ULONG STDCALL FileStream::Release(IStream* stream) {
  return --Self(stream).references_;
}

HRESULT STDCALL FileStream::Write(IStream* stream, const void* buffer, ULONG count,
                                  ULONG* written) {
  const char* bytes = static_cast<const char*>(buffer);
  ULONG done = 0;
  while (done < count) {
    const ssize_t moved = write(Self(stream).fd_, bytes + done, count - done);
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) break;
    done += static_cast<ULONG>(moved);
  }
  *written = done;
  return done == count ? kOk : kWriteFault;
}

}  // namespace velto::bench
