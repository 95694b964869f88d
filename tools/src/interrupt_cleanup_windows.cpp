#include <windows.h>

#include <string>

#include "interrupt_cleanup.h"

namespace velto::cli {
namespace {

// Set before the handler is installed; the handler runs on a thread of its own.
std::wstring removed_file;

constexpr UINT kInterruptedStatus = 130;  // as a shell reports Ctrl-C

// The file is open for writing with deletion shared: it goes once velto's handles close.
BOOL WINAPI RemoveAndExit(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  DeleteFileW(removed_file.c_str());
  ExitProcess(kInterruptedStatus);
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::filesystem::path& file) {
  removed_file = file.native();
  SetConsoleCtrlHandler(RemoveAndExit, TRUE);
}

InterruptCleanup::~InterruptCleanup() {
  SetConsoleCtrlHandler(RemoveAndExit, FALSE);
}

}  // namespace velto::cli
