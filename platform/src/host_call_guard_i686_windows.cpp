// The guard of a call into the host's code on 32-bit Windows: a frame handler registered on
// the thread's SEH chain (fs:[0]) for the length of the call, as a __try/__except would.
#if defined(__i386__)

#include "host_call_guard.h"

extern "C" {

EXCEPTION_DISPOSITION velto_guard_handler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*);
// Unwinds the frames below `frame` (RtlUnwind) and resumes velto_guarded_call at its end,
// which returns 1.
[[noreturn]] void velto_guard_unwind(void* frame, EXCEPTION_RECORD* record);

// The registration record sits on the stack as { previous, handler, caught }, below the
// registers the trampoline keeps. RtlUnwind may change ebx, esi and edi, so the resumption
// takes everything from the frame.
asm(R"(
  .text
  .globl _velto_guarded_call
  .def _velto_guarded_call; .scl 2; .type 32; .endef
_velto_guarded_call:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  pushl 16(%ebp)
  pushl $_velto_guard_handler
  pushl %fs:0
  movl %esp, %fs:0
  pushl 12(%ebp)
  call *8(%ebp)
  addl $4, %esp
  xorl %eax, %eax
.Lvelto_guard_leave:
  movl (%esp), %ecx
  movl %ecx, %fs:0
  addl $12, %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret

  .globl _velto_guard_unwind
  .def _velto_guard_unwind; .scl 2; .type 32; .endef
_velto_guard_unwind:
  movl 4(%esp), %eax
  movl 8(%esp), %edx
  pushl %eax
  pushl $0
  pushl %edx
  pushl $.Lvelto_guard_unwound
  pushl %eax
  call *__imp__RtlUnwind@16
.Lvelto_guard_unwound:
  movl (%esp), %esp
  movl $1, %eax
  jmp .Lvelto_guard_leave
)");

EXCEPTION_DISPOSITION velto_guard_handler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 ||
      velto::IsGccException(record->ExceptionCode)) {
    return ExceptionContinueSearch;
  }
  const auto registration = static_cast<char*>(frame);
  auto* caught = *reinterpret_cast<velto::CaughtException**>(registration + 8);
  const char here = 0;
  velto::KeepCaughtException(*record, &here, registration, *caught);
  velto_guard_unwind(frame, record);
}

}  // extern "C"

#endif
