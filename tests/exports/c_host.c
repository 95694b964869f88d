/* A host written in C: the header compiles as C and the library links and runs (on
 * Windows through the DLL's import library). */
#include <stdio.h>

#include "velto_box.h"

#ifdef _WIN32
/* On Windows the failure also arrives as a continuable exception; carry on past it. */
static LONG CALLBACK ContinuePastVelto(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}
#endif

int main(void) {
#ifdef _WIN32
  AddVectoredExceptionHandler(1, ContinuePastVelto);
#endif
  static const OLECHAR kRoot[] = {'h', 't', 't', 'p', ':', '/', '/', '1', '2',
                                  '7', '.', '0', '.', '0', '.', '1', ':', '1'};
  BSTR root = VeltoAllocString(kRoot, sizeof(kRoot) / sizeof(kRoot[0]));
  static const GUID kEventsIid = VELTO_IID_IVELTOWORKEVENTS_INIT;
  BSTR message = NULL;
  VeltoInit(root, NULL, NULL);
  VeltoEnter(NULL); /* nothing listens on port 1: the failure is kept */
  VeltoLastError(&message);
  const int failed = message == NULL || message[0] == 0;
  VeltoFreeString(message);
  VeltoFreeString(root);
  if (kEventsIid.Data1 != 0xBFD27F26u) return 2;
  if (failed) fprintf(stderr, "VeltoEnter did not keep its failure\n");
  return failed;
}
