#include <windows.h>
// after windows.h
#include <objidl.h>

#include <stdexcept>
#include <string>

#include "file_stream.h"
#include "utf8_path.h"

namespace velto::cli {
namespace {

constexpr HRESULT kWriteFault = STG_E_WRITEFAULT;

HANDLE OpenHandle(const std::filesystem::path& path, FileOpening opening) {
  if (opening == FileOpening::StandardOutput) {
    HANDLE own = nullptr;
    const HANDLE process = GetCurrentProcess();
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(process, out, process, &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      return INVALID_HANDLE_VALUE;
    }
    return own;
  }
  // Sharing deletion lets an interrupt remove a new file while it is being written.
  const DWORD disposition = opening == FileOpening::CreateNew ? CREATE_NEW : OPEN_EXISTING;
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Only what a download needs does anything: writing, and the position; the rest answers
// "not implemented". The object lives as long as its FileStream; the count keeps COM's rules.
// COM objects are never deleted through their interface, which has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class HandleStream final : public IStream {
 public:
  explicit HandleStream(HANDLE handle) : handle_(handle) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    if (object != nullptr) *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
    DWORD moved = 0;
    const bool wrote = WriteFile(handle_, buffer, count, &moved, nullptr) != 0;
    if (written != nullptr) *written = moved;
    failed_ = failed_ || !wrote || moved != count;
    return wrote && moved == count ? S_OK : kWriteFault;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override {
    LARGE_INTEGER now{};
    if (!SetFilePointerEx(handle_, move, &now, origin)) return kWriteFault;
    if (at != nullptr) at->QuadPart = static_cast<ULONGLONG>(now.QuadPart);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  bool WriteFailed() const { return failed_; }

  // False when not everything written reached the file.
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return !failed_;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed && !failed_;
  }

 private:
  HANDLE handle_;
  ULONG references_ = 1;
  bool failed_ = false;
};
#pragma GCC diagnostic pop

}  // namespace

struct FileStream::Parts {
  explicit Parts(HANDLE handle) : stream(handle) {}
  HandleStream stream;
};

FileStream::FileStream(const std::filesystem::path& path, FileOpening opening) {
  const HANDLE handle = OpenHandle(path, opening);
  if (handle == INVALID_HANDLE_VALUE) {
    const std::string name =
        opening == FileOpening::StandardOutput ? "standard output" : Utf8FromPath(path);
    const char* verb = opening == FileOpening::CreateNew ? "cannot create " : "cannot write ";
    throw std::runtime_error(verb + name);
  }
  parts_ = std::make_unique<Parts>(handle);
}

FileStream::~FileStream() {
  Close();
}

IStream* FileStream::Get() {
  return &parts_->stream;
}

bool FileStream::WriteFailed() const {
  return parts_->stream.WriteFailed();
}

bool FileStream::Close() {
  return parts_->stream.Close();
}

void MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    throw std::runtime_error(std::string("cannot write ").append(Utf8FromPath(to)));
  }
}

}  // namespace velto::cli
