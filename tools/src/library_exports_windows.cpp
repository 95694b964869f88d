#include <windows.h>

#include <stdexcept>

#include "library_exports.h"

namespace velto::cli {
namespace {

LONG CALLBACK ContinuePastVelto(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// The DLL is loaded already (this program links its import library).
LibraryExports::LibraryExports() : module_(GetModuleHandleW(L"Velto.Box.dll")) {
  if (module_ == nullptr) throw std::runtime_error("Velto.Box.dll is not loaded");
  continuer_ = AddVectoredExceptionHandler(1, ContinuePastVelto);
}

LibraryExports::~LibraryExports() {
  RemoveVectoredExceptionHandler(continuer_);
}

ExportAddress LibraryExports::Find(const std::string& name) const {
  return reinterpret_cast<ExportAddress>(
      GetProcAddress(static_cast<HMODULE>(module_), name.c_str()));
}

}  // namespace velto::cli
