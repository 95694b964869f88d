#pragma once

#include <string>

#include "settings.h"

namespace velto::cli {

// The INI file velto opens the library with. The library takes its reply limits only from
// an INI file: when a flag sets one, this is a temporary file with the TLS keys of --ini
// and both limits in force, removed with the object; otherwise the file of --ini, or none.
class LibraryIni {
 public:
  explicit LibraryIni(const Settings& settings);
  LibraryIni(const LibraryIni&) = delete;
  LibraryIni& operator=(const LibraryIni&) = delete;
  ~LibraryIni();

  const std::string& Name() const { return name_; }  // UTF-8; empty for none

 private:
  std::string name_;
  bool temporary_ = false;
};

}  // namespace velto::cli
