#include "disk_reserve.h"

#include <fcntl.h>
#include <unistd.h>

namespace velto::server {

DiskReserve::DiskReserve(std::filesystem::path path, std::uintmax_t size)
    : path_(std::move(path)), size_(size) {
  Restore();
}

DiskReserve::~DiskReserve() {
  Release();
}

bool DiskReserve::Release() {
  if (!held_) return false;
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  held_ = false;
  return true;
}

void DiskReserve::Restore() {
  if (held_ || path_.empty()) return;
  const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // posix_fallocate really takes the blocks (writing zeros where the file system cannot).
  held_ = posix_fallocate(fd, 0, static_cast<off_t>(size_)) == 0;
  close(fd);
  if (!held_) {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
}

}  // namespace velto::server
