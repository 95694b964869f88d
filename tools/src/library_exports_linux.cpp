#include <dlfcn.h>

#include <stdexcept>

#include "library_exports.h"

namespace velto::cli {

// The library is loaded already (this program links it); its handle is found from the
// address of one of its exports.
LibraryExports::LibraryExports() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&VeltoAllocString), &info) == 0 || info.dli_fname == nullptr) {
    throw std::runtime_error("the Velto.Box library cannot be located");
  }
  module_ = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (module_ == nullptr) throw std::runtime_error(dlerror());
}

LibraryExports::~LibraryExports() {
  dlclose(module_);
}

ExportAddress LibraryExports::Find(const std::string& name) const {
  return reinterpret_cast<ExportAddress>(dlsym(module_, name.c_str()));
}

}  // namespace velto::cli
