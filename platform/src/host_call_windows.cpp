#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "host_call_guard.h"
#include "velto/host_call.h"
#include "velto/host_failure.h"
#include "velto_box.h"

namespace velto {
namespace {

struct HeapFreer {
  void operator()(void* block) const noexcept { HeapFree(GetProcessHeap(), 0, block); }
};

// A host exception caught on a thread, until the export it happened in raises it again.
struct KeptException {
  DWORD code = 0;
  DWORD flags = 0;
  DWORD count = 0;
  std::array<ULONG_PTR, EXCEPTION_MAXIMUM_PARAMETERS> parameters{};
  const char* stack_low = nullptr;
  size_t stack_size = 0;
  std::unique_ptr<void, HeapFreer> stack;
  std::u16string message;  // what VeltoLastError gives afterwards
};

// One per thread, in a table rather than in thread_local storage (see host_failure.cpp).
struct KeptTable {
  std::mutex mutex;
  std::map<std::thread::id, KeptException> by_thread;
};

KeptTable& Kept() {
  static KeptTable table;
  return table;
}

std::u16string MessageOf(const EXCEPTION_RECORD& record) {
  // The library's own raise (a nested export refused): its message, copied now, since the
  // text it points to belongs to a kept failure that a later call may replace.
  if (record.ExceptionCode == VELTO_EXCEPTION_CODE && record.NumberParameters >= 1 &&
      record.ExceptionInformation[0] != 0) {
    return reinterpret_cast<const char16_t*>(record.ExceptionInformation[0]);
  }
  char text[80];
  std::snprintf(text, sizeof text,
                "The host's code raised the exception 0x%08lX while the library called it",
                static_cast<unsigned long>(record.ExceptionCode));
  return std::u16string(text, text + std::strlen(text));
}

// The first exception caught on a thread is the one its export raises again; one that a
// cleanup meets afterwards is dropped.
void Keep(const CaughtException& caught) {
  std::unique_ptr<void, HeapFreer> stack(caught.stack_copy);
  KeptException kept;
  kept.code = caught.record.ExceptionCode;
  kept.flags = caught.record.ExceptionFlags & EXCEPTION_NONCONTINUABLE;
  kept.count = std::min<DWORD>(caught.record.NumberParameters, EXCEPTION_MAXIMUM_PARAMETERS);
  std::copy_n(caught.record.ExceptionInformation, kept.count, kept.parameters.begin());
  kept.stack_low = caught.stack_low;
  kept.stack_size = stack ? caught.stack_size : 0;
  kept.stack = std::move(stack);
  kept.message = MessageOf(caught.record);
  KeptTable& table = Kept();
  std::lock_guard lock(table.mutex);
  table.by_thread.try_emplace(std::this_thread::get_id(), std::move(kept));
}

std::optional<KeptException> Take() {
  KeptTable& table = Kept();
  std::lock_guard lock(table.mutex);
  const auto found = table.by_thread.find(std::this_thread::get_id());
  if (found == table.by_thread.end()) return std::nullopt;
  KeptException kept = std::move(found->second);
  table.by_thread.erase(found);
  return kept;
}

// Raises from below the place where the host's frames were, with their bytes put back: a
// parameter that points into them (a C++ exception object lives in the frame that threw it)
// finds what it pointed to while the host's handlers run. Where the frames cannot be put back
// (they would overlap this frame), the exception goes without them.
[[gnu::noinline]] void RaiseBelowHostFrames(KeptException kept) {
  const auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  const auto low = reinterpret_cast<uintptr_t>(kept.stack_low);
  if (kept.stack && low < frame) {
    const size_t depth = frame - low + 256;  // reaches below the host's frames
    char* const below = static_cast<char*>(__builtin_alloca(depth));
    const auto start = reinterpret_cast<uintptr_t>(below);
    if (start <= low && low + kept.stack_size <= start + depth) {
      std::memcpy(below + (low - start), kept.stack.get(), kept.stack_size);
      asm volatile("" : : "r"(below) : "memory");  // the bytes are read by the host
    }
  }
  kept.stack.reset();
  RaiseException(kept.code, kept.flags, kept.count, kept.parameters.data());
}

}  // namespace

bool IsGccException(DWORD code) noexcept {
  constexpr DWORD kGccMagic = 0x20474343;  // user-defined, type in bits 24-27, "GCC"
  return (code & ~0x0F000000ul) == kGccMagic;
}

void KeepCaughtException(const EXCEPTION_RECORD& record, const char* stack_low,
                         const char* stack_top, CaughtException& caught) noexcept {
  caught.record = record;
  // An overflowed stack has nothing worth keeping, and putting it back would overflow again.
  if (record.ExceptionCode == STATUS_STACK_OVERFLOW) return;
  caught.stack_low = stack_low;
  caught.stack_size = static_cast<size_t>(stack_top - stack_low);
  caught.stack_copy = HeapAlloc(GetProcessHeap(), 0, caught.stack_size);
  if (caught.stack_copy != nullptr) std::memcpy(caught.stack_copy, stack_low, caught.stack_size);
}

void RunHostCall(void (*call)(void*), void* context) {
  CaughtException caught{};
  if (velto_guarded_call(call, context, &caught) == 0) return;
  Keep(caught);
  throw HostException();
}

bool HostExceptionPending() {
  KeptTable& table = Kept();
  std::lock_guard lock(table.mutex);
  return table.by_thread.contains(std::this_thread::get_id());
}

void RaisePendingHostException() {
  std::optional<KeptException> kept = Take();
  if (!kept) return;
  const std::u16string& message = KeepHostFailure(kept->message);
  if (kept->code == VELTO_EXCEPTION_CODE && kept->count >= 1) {
    kept->parameters[0] = reinterpret_cast<ULONG_PTR>(message.c_str());
  }
  RaiseBelowHostFrames(std::move(*kept));
}

}  // namespace velto
