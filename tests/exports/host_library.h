#pragma once

#include "velto/export_call.h"

namespace velto::test {

// The library loaded the way a host loads it (dlopen, LoadLibraryW beside the program) and
// unloaded when this goes. On Windows a failure that leaves an export is also raised as a
// continuable exception; while the library is loaded here, such raises are continued.
class HostLibrary {
 public:
  HostLibrary();
  HostLibrary(const HostLibrary&) = delete;
  HostLibrary& operator=(const HostLibrary&) = delete;
  ~HostLibrary();

  // An export by its plain name; a missing one throws std::runtime_error.
  ExportAddress Address(const char* name) const;

  template <typename Function>
  Function* Get(const char* name) const {
    return reinterpret_cast<Function*>(Address(name));
  }

 private:
  void* module_ = nullptr;
  void* continuer_ = nullptr;
};

}  // namespace velto::test
