#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "host_library.h"

namespace velto::test {

HostLibrary::HostLibrary() : module_(dlopen(VELTO_BOX_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {
  if (module_ == nullptr) throw std::runtime_error(dlerror());
}

HostLibrary::~HostLibrary() {
  dlclose(module_);
}

ExportAddress HostLibrary::Address(const char* name) const {
  void* address = dlsym(module_, name);
  if (address == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<ExportAddress>(address);
}

}  // namespace velto::test
