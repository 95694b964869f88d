#include <windows.h>

#include <stdexcept>
#include <string>

#include "host_library.h"

namespace velto::test {
namespace {

std::wstring DllBesideThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Velto.Box.dll";
}

LONG CALLBACK ContinuePastVelto(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

HostLibrary::HostLibrary() : module_(LoadLibraryW(DllBesideThisProgram().c_str())) {
  if (module_ == nullptr) throw std::runtime_error("Velto.Box.dll did not load");
  continuer_ = AddVectoredExceptionHandler(0, ContinuePastVelto);
}

HostLibrary::~HostLibrary() {
  RemoveVectoredExceptionHandler(continuer_);
  if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
}

ExportAddress HostLibrary::Address(const char* name) const {
  const FARPROC address = GetProcAddress(static_cast<HMODULE>(module_), name);
  if (address == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<ExportAddress>(address);
}

}  // namespace velto::test
