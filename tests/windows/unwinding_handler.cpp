#include "unwinding_handler.h"

#include <intrin.h>

namespace velto::test {
namespace {

std::optional<Unwound> caught;
TextReader reader;

void Catch(const EXCEPTION_RECORD& record) {
  Unwound seen;
  seen.code = record.ExceptionCode;
  seen.flags = record.ExceptionFlags;
  seen.parameters.assign(record.ExceptionInformation,
                         record.ExceptionInformation + record.NumberParameters);
  if (reader && record.NumberParameters > 0) {
    seen.first_parameter_text = reader(record.ExceptionInformation[0]);
  }
  caught = std::move(seen);
}

}  // namespace
}  // namespace velto::test

#if defined(__i386__)

namespace velto::test {
namespace {

// A frame handler on the thread's SEH chain that unwinds the frames below it (RtlUnwind) and
// lands behind the call, as the code a 32-bit compiler makes for __except does.
struct Registration {
  Registration* previous;
  void* handler;
};
void* landing[5];

EXCEPTION_DISPOSITION UnwindingHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
    return ExceptionContinueSearch;
  }
  Catch(*record);
  RtlUnwind(frame, nullptr, record, nullptr);
  __builtin_longjmp(landing, 1);
}

}  // namespace

std::optional<Unwound> CallUnderUnwindingHandler(const std::function<void()>& call,
                                                 TextReader read_text) {
  caught.reset();
  reader = std::move(read_text);
  Registration registration{reinterpret_cast<Registration*>(__readfsdword(0)),
                            reinterpret_cast<void*>(&UnwindingHandler)};
  __writefsdword(0, reinterpret_cast<DWORD>(&registration));
  if (__builtin_setjmp(landing) == 0) call();
  __writefsdword(0, reinterpret_cast<DWORD>(registration.previous));
  return caught;
}

}  // namespace velto::test

#elif defined(__x86_64__)

// The filter of a __try/__except scope in this frame's unwind information: the system's
// __C_specific_handler calls it and, as it answers, unwinds to the end of the scope.
extern "C" LONG VeltoTestUnwindingFilter(EXCEPTION_POINTERS* pointers, void*) {
  velto::test::Catch(*pointers->ExceptionRecord);
  return EXCEPTION_EXECUTE_HANDLER;
}

namespace velto::test {
namespace {

// Nothing in this frame may need unwinding information of its own.
[[gnu::noinline]] void CallInScope(const std::function<void()>& call) {
  asm volatile(R"(
  .Lvelto_scope_begin:
  .seh_handler __C_specific_handler, @except
  .seh_handlerdata
  .long 1
  .rva .Lvelto_scope_begin, .Lvelto_scope_end, VeltoTestUnwindingFilter, .Lvelto_scope_end
  .text
  )" ::
                   : "memory");
  call();
  asm volatile("nop\n.Lvelto_scope_end: nop" ::: "memory");
}

}  // namespace

std::optional<Unwound> CallUnderUnwindingHandler(const std::function<void()>& call,
                                                 TextReader read_text) {
  caught.reset();
  reader = std::move(read_text);
  CallInScope(call);
  return caught;
}

}  // namespace velto::test

#endif
