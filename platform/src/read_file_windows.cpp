#include <windows.h>

#include "velto/exception.h"
#include "velto/read_file.h"
#include "velto/system_error.h"

namespace velto {

struct ReadOnlyFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

namespace {

[[noreturn]] void Fail(const std::u16string& path, std::u16string_view reason) {
  throw Exception(u"Cannot open file \"" + path + u"\". " + std::u16string(reason));
}

[[noreturn]] void Fail(const std::u16string& path, DWORD error) {
  Fail(path, SystemErrorSentence(error));
}

[[noreturn]] void FailReading(DWORD error) {
  throw Exception(u"Cannot read the file being sent. " + SystemErrorSentence(error));
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::u16string& path) : handle_(std::make_unique<Handle>()) {
  // Others may read the file while it is sent, but nobody may change it.
  handle_->file =
      CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_->file == INVALID_HANDLE_VALUE) Fail(path, GetLastError());
  // A device (NUL, CON) or a pipe is no file to send, and a pipe could hold the caller up.
  if (GetFileType(handle_->file) != FILE_TYPE_DISK) Fail(path, u"It is not a regular file.");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_->file, &size)) Fail(path, GetLastError());
  size_ = static_cast<uint64_t>(size.QuadPart);
}

ReadOnlyFile::~ReadOnlyFile() = default;

size_t ReadOnlyFile::Read(char* buffer, size_t capacity) {
  DWORD got = 0;
  const auto wanted = static_cast<DWORD>(capacity > MAXDWORD ? MAXDWORD : capacity);
  if (!ReadFile(handle_->file, buffer, wanted, &got, nullptr)) FailReading(GetLastError());
  return got;
}

void ReadOnlyFile::Rewind() {
  const LARGE_INTEGER start{};
  if (!SetFilePointerEx(handle_->file, start, nullptr, FILE_BEGIN)) FailReading(GetLastError());
}

}  // namespace velto
