#pragma once

#include <cstddef>
#include <cstdint>

#include "velto_box.h"

namespace velto {

// A host's COM stream as the library writes into and reads from it. Holds a counted
// reference for its lifetime. Every call into the stream goes through CallHost.
class TStreamBox {
 public:
  explicit TStreamBox(IStream* content);
  TStreamBox(const TStreamBox&) = delete;
  TStreamBox& operator=(const TStreamBox&) = delete;
  ~TStreamBox();

  // The count the host stream reports as moved; its status result is not looked at.
  // A negative count raises a range error.
  int32_t Read(void* buffer, int32_t count);
  int32_t Write(const void* buffer, int32_t count);
  // origin: 0 from the start, 1 from the current position, 2 from the end. Returns the
  // new position; one that does not fit in 32 bits raises a range error.
  int32_t Seek(int32_t offset, int16_t origin);

 private:
  IStream* content_;
};

}  // namespace velto
