#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velto {

// A local file opened for reading while other writers are shut out (a deny-write share
// mode on Windows; a shared advisory lock elsewhere). Opening fails with an Exception whose
// message names the file and the system's reason.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::u16string& path);
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  uint64_t Size() const { return size_; }
  // Up to `capacity` bytes from the current position; 0 at the end. Fails with an Exception.
  size_t Read(char* buffer, size_t capacity);
  // Back to the first byte.
  void Rewind();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  uint64_t size_ = 0;
};

}  // namespace velto
