// The guard of a call into the host's code on 64-bit Windows: a trampoline whose unwind
// information names a language handler, as a __try/__except would. GCC's own handlers let
// every exception but its own C++ ones pass, without running any destructor.
#if defined(__x86_64__)

#include "host_call_guard.h"

extern "C" {

EXCEPTION_DISPOSITION velto_guard_handler(EXCEPTION_RECORD* record, void* frame, CONTEXT*,
                                          DISPATCHER_CONTEXT* dispatch);
// Where the handler's unwind resumes the trampoline; RtlUnwindEx puts 1 into rax.
extern char velto_guard_resume[];

// The frame: 32 bytes of home space for the callee, then `caught` for the handler.
asm(R"(
  .text
  .globl velto_guarded_call
  .def velto_guarded_call; .scl 2; .type 32; .endef
  .seh_proc velto_guarded_call
velto_guarded_call:
  subq $40, %rsp
  .seh_stackalloc 40
  .seh_endprologue
  .seh_handler velto_guard_handler, @except
  movq %r8, 32(%rsp)
  movq %rcx, %rax
  movq %rdx, %rcx
  callq *%rax
  xorl %eax, %eax
  .globl velto_guard_resume
velto_guard_resume:
  addq $40, %rsp
  ret
  .seh_endproc
)");

EXCEPTION_DISPOSITION velto_guard_handler(EXCEPTION_RECORD* record, void* frame, CONTEXT*,
                                          DISPATCHER_CONTEXT* dispatch) {
  if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0 ||
      velto::IsGccException(record->ExceptionCode)) {
    return ExceptionContinueSearch;
  }
  const auto establisher = static_cast<char*>(frame);
  auto* caught = *reinterpret_cast<velto::CaughtException**>(establisher + 32);
  const char here = 0;
  velto::KeepCaughtException(*record, &here, establisher + 40, *caught);
  RtlUnwindEx(frame, velto_guard_resume, record, reinterpret_cast<void*>(1),
              dispatch->ContextRecord, dispatch->HistoryTable);
  return ExceptionContinueSearch;  // not reached: the unwind resumes the trampoline
}

}  // extern "C"

#endif
