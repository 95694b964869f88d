#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "file_stream.h"

namespace velto::cli {
namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);
constexpr HRESULT kNoInterface = static_cast<HRESULT>(0x80004002);
constexpr HRESULT kWriteFault = static_cast<HRESULT>(0x8003001D);  // STG_E_WRITEFAULT

std::string SystemMessage(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

// The interface and, beside it, the file it writes. Only what a download needs does
// anything: writing, and the position; the rest answers "not implemented".
struct FileStream::Parts {
  IStream com;
  FILE* file = nullptr;
  ULONG references = 1;

  static Parts& Self(IStream* stream) { return *reinterpret_cast<Parts*>(stream); }

  static HRESULT STDCALL QueryInterface(IStream*, const GUID*, void** object) {
    if (object != nullptr) *object = nullptr;
    return kNoInterface;
  }
  static ULONG STDCALL AddRef(IStream* stream) { return ++Self(stream).references; }
  static ULONG STDCALL Release(IStream* stream) { return --Self(stream).references; }
  static HRESULT STDCALL Write(IStream* stream, const void* buffer, ULONG count, ULONG* written) {
    const size_t moved = std::fwrite(buffer, 1, count, Self(stream).file);
    if (written != nullptr) *written = static_cast<ULONG>(moved);
    return moved == count ? kOk : kWriteFault;
  }
  static HRESULT STDCALL Seek(IStream* stream, int64_t move, uint32_t origin, uint64_t* at) {
    FILE* file = Self(stream).file;
    if (std::fseek(file, move, static_cast<int>(origin)) != 0) return kWriteFault;
    if (at != nullptr) *at = static_cast<uint64_t>(std::ftell(file));
    return kOk;
  }

  static constexpr IStreamVtbl kTable = {
      QueryInterface,
      AddRef,
      Release,
      [](IStream*, void*, ULONG, ULONG*) { return kNotImplemented; },  // Read
      Write,
      Seek,
      [](IStream*, uint64_t) { return kNotImplemented; },  // SetSize
      [](IStream*, IStream*, uint64_t, uint64_t*, uint64_t*) { return kNotImplemented; },  // CopyTo
      [](IStream*, uint32_t) { return kNotImplemented; },                                  // Commit
      [](IStream*) { return kNotImplemented; },                                            // Revert
      [](IStream*, uint64_t, uint64_t, uint32_t) { return kNotImplemented; },
      [](IStream*, uint64_t, uint64_t, uint32_t) { return kNotImplemented; },
      [](IStream*, struct tagSTATSTG*, uint32_t) { return kNotImplemented; },
      [](IStream*, IStream**) { return kNotImplemented; },  // Clone
  };
};

namespace {

int OpenDescriptor(const std::filesystem::path& path, FileOpening opening) {
  switch (opening) {
    case FileOpening::CreateNew:
      // Never through a file or link that is there already.
      return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    case FileOpening::Existing:
      return open(path.c_str(), O_WRONLY | O_CLOEXEC);
    case FileOpening::StandardOutput:
      break;
  }
  return fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
}

}  // namespace

FileStream::FileStream(const std::filesystem::path& path, FileOpening opening)
    : parts_(std::make_unique<Parts>()) {
  parts_->com.lpVtbl = &Parts::kTable;
  const int descriptor = OpenDescriptor(path, opening);
  if (descriptor >= 0) parts_->file = fdopen(descriptor, "wb");
  if (parts_->file == nullptr) {
    const std::string name =
        opening == FileOpening::StandardOutput ? "standard output" : path.string();
    const char* verb = opening == FileOpening::CreateNew ? "cannot create " : "cannot write ";
    const std::string message = SystemMessage(verb + name);
    if (descriptor >= 0) close(descriptor);
    throw std::runtime_error(message);
  }
}

FileStream::~FileStream() {
  Close();
}

IStream* FileStream::Get() {
  return &parts_->com;
}

bool FileStream::WriteFailed() const {
  return parts_->file != nullptr && std::ferror(parts_->file) != 0;
}

bool FileStream::Close() {
  if (parts_->file == nullptr) return true;
  const bool written = std::ferror(parts_->file) == 0;
  const bool closed = std::fclose(parts_->file) == 0;
  parts_->file = nullptr;
  return written && closed;
}

void MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    throw std::runtime_error(SystemMessage("cannot write " + to.string()));
  }
}

}  // namespace velto::cli
