#pragma once

// Velto.Box.dll as a Windows host loads it: LoadLibraryW from the program's own folder,
// every export looked up by its plain name as the stdcall type of velto_box.h.

#include <windows.h>

#include <stdexcept>
#include <string>

#include "velto_box.h"

namespace velto {

// GetProcAddress's result as the header's function type; the detour through void(*)()
// is the conversion the compiler accepts between unrelated function types.
template <typename Function>
Function* Lookup(HMODULE module, const char* name) {
  const auto generic = reinterpret_cast<void (*)()>(GetProcAddress(module, name));
  if (generic == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<Function*>(generic);
}

inline std::wstring DllBesideThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Velto.Box.dll";
}

// One load of the library with its exports resolved; unloads when it goes.
class LoadedDll {
 public:
  LoadedDll() : module_(LoadLibraryW(DllBesideThisProgram().c_str())) {
    if (module_ == nullptr) throw std::runtime_error("Velto.Box.dll did not load");
    Open = Lookup<decltype(VeltoOpen)>(module_, "VeltoOpen");
    Close = Lookup<decltype(VeltoClose)>(module_, "VeltoClose");
    Init = Lookup<decltype(VeltoInit)>(module_, "VeltoInit");
    Enter = Lookup<decltype(VeltoEnter)>(module_, "VeltoEnter");
    Leave = Lookup<decltype(VeltoLeave)>(module_, "VeltoLeave");
    WorkBegin = Lookup<decltype(VeltoWorkBegin)>(module_, "VeltoWorkBegin");
    WorkEnd = Lookup<decltype(VeltoWorkEnd)>(module_, "VeltoWorkEnd");
    LastError = Lookup<decltype(VeltoLastError)>(module_, "VeltoLastError");
    AllocString = Lookup<decltype(VeltoAllocString)>(module_, "VeltoAllocString");
    FreeString = Lookup<decltype(VeltoFreeString)>(module_, "VeltoFreeString");
  }
  LoadedDll(const LoadedDll&) = delete;
  LoadedDll& operator=(const LoadedDll&) = delete;
  ~LoadedDll() { Unload(); }

  HMODULE Module() const { return module_; }

  void Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  decltype(&VeltoOpen) Open;
  decltype(&VeltoClose) Close;
  decltype(&VeltoInit) Init;
  decltype(&VeltoEnter) Enter;
  decltype(&VeltoLeave) Leave;
  decltype(&VeltoWorkBegin) WorkBegin;
  decltype(&VeltoWorkEnd) WorkEnd;
  decltype(&VeltoLastError) LastError;
  decltype(&VeltoAllocString) AllocString;
  decltype(&VeltoFreeString) FreeString;

 private:
  HMODULE module_;
};

}  // namespace velto
