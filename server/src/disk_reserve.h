#pragma once

#include <cstdint>
#include <filesystem>

namespace velto::server {

// Spare bytes held in a file beside the database. When the disk is full they are given up, so
// that a delete can still be written and free space; they are taken back afterwards. The
// caller holds the database lock.
class DiskReserve {
 public:
  // An empty path holds nothing (an in-memory database needs no room on disk).
  DiskReserve(std::filesystem::path path, std::uintmax_t size);
  ~DiskReserve();
  DiskReserve(const DiskReserve&) = delete;
  DiskReserve& operator=(const DiskReserve&) = delete;

  // Frees the reserved bytes; false when there were none to free.
  bool Release();
  // Reserves the bytes again, when there is room for them.
  void Restore();

 private:
  std::filesystem::path path_;
  std::uintmax_t size_;
  bool held_ = false;
};

}  // namespace velto::server
