#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

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

[[noreturn]] void Fail(const std::u16string& path, std::u16string_view reason) {
  throw Exception(u"Cannot open file \"" + path + u"\". " + std::u16string(reason) + u".");
}

[[noreturn]] void Fail(const std::u16string& path, int error) {
  Fail(path, Utf8ToUtf16(std::strerror(error)));
}

// A shared lock on the whole file: other readers may lock it too, a writer that asks for a
// lock is refused, and one that already holds a lock keeps us out.
void LockForReading(int fd, const std::u16string& path) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return;
  if (errno == EAGAIN || errno == EACCES) {
    Fail(path, u"The file is locked for writing by another process");
  }
  // Where the file system keeps no such locks the file is read without one: the lock is
  // advisory anyway.
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::u16string& path) : handle_(std::make_unique<Handle>()) {
  // Non-blocking, so that a named pipe cannot hold the caller up; it is refused below.
  handle_->fd = open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (handle_->fd < 0) Fail(path, errno);
  struct stat status {};
  if (fstat(handle_->fd, &status) != 0) Fail(path, errno);
  if (S_ISDIR(status.st_mode)) Fail(path, EISDIR);
  if (!S_ISREG(status.st_mode)) Fail(path, u"It is not a regular file");
  LockForReading(handle_->fd, path);
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
