// For test programs that run the bodies of exports in their own process: a failure raised
// to the host (VELTO_EXCEPTION_CODE) is continued past, as a host that reads VeltoLastError
// does, so the export returns normally.
#include <windows.h>

#include "velto_box.h"

namespace {

LONG CALLBACK ContinuePastVelto(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}

const PVOID kHandler = AddVectoredExceptionHandler(1, ContinuePastVelto);

}  // namespace
