#include <windows.h>

#include "velto/host_call.h"
#include "velto/host_failure.h"
#include "velto/library_state.h"

// The load and unload steps of the library. Nothing here blocks or loads another library.
// At process exit (reserved not null) nothing is released: the host's objects and
// WinHTTP may already be gone, and touching them could hang or crash the exiting host.
// A thread that ends takes its kept failure with it: its id may go to a new thread.
// An exception that the receiver's Release raises at unload is raised again once the
// library is torn down, as from an export (Wine's loader keeps it from the host).
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    if (reason == DLL_PROCESS_ATTACH) velto::LoadLibraryState();
    if (reason == DLL_THREAD_DETACH) velto::ClearHostFailure();
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr) velto::AbandonLibraryState();
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) velto::UnloadLibraryState();
  } catch (...) {
    return FALSE;  // only a failed load is reported; the loader ignores it at unload
  }
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) velto::RaisePendingHostException();
  return TRUE;
}
