#include <malloc.h>

#include "velto/freed_memory.h"

namespace velto {

void ReturnFreedMemory(std::size_t freed_bytes) noexcept {
#ifdef __GLIBC__
  // glibc keeps freed heap pages, and raises its threshold for mapping blocks of their own
  // as large blocks are freed; trimming also releases free pages inside the heap.
  if (freed_bytes >= kLargeBlock) malloc_trim(0);
#else
  (void)freed_bytes;
#endif
}

}  // namespace velto
