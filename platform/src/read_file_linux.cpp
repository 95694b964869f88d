#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "velto/exception.h"
#include "velto/read_file.h"
#include "velto/unicode.h"

namespace velto {

struct ReadOnlyFile::Handle {
  int fd = -1;
  ~Handle() {
    if (fd >= 0) close(fd);
  }
};

namespace {

[[noreturn]] void Fail(const std::u16string& path, int error) {
  throw Exception(u"Cannot open file \"" + path + u"\". " + Utf8ToUtf16(std::strerror(error)));
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::u16string& path) : handle_(std::make_unique<Handle>()) {
  handle_->fd = open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (handle_->fd < 0) Fail(path, errno);
  struct stat status {};
  if (fstat(handle_->fd, &status) != 0) Fail(path, errno);
  if (S_ISDIR(status.st_mode)) Fail(path, EISDIR);
  if (flock(handle_->fd, LOCK_SH | LOCK_NB) != 0) Fail(path, errno);
  size_ = static_cast<uint64_t>(status.st_size);
}

ReadOnlyFile::~ReadOnlyFile() = default;

namespace {

[[noreturn]] void FailReading(int error) {
  throw Exception(u"Cannot read the file being sent. " + Utf8ToUtf16(std::strerror(error)));
}

}  // namespace

size_t ReadOnlyFile::Read(char* buffer, size_t capacity) {
  for (;;) {
    const ssize_t got = read(handle_->fd, buffer, capacity);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) FailReading(errno);
  }
}

void ReadOnlyFile::Rewind() {
  if (lseek(handle_->fd, 0, SEEK_SET) != 0) FailReading(errno);
}

}  // namespace velto
