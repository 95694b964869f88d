#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_library.h"
#include "velto_box.h"

namespace velto::test {

// The exports of a loaded library, called by name with texts, as a host calls them.
class HostExports {
 public:
  // A text-returning export with these texts; nothing when it left the result variable as
  // it was (a failure that left the export).
  std::optional<std::u16string> Call(const char* name,
                                     const std::vector<std::u16string>& texts) const;
  // Call, for an export that must hand back a text.
  std::u16string Text(const char* name, const std::vector<std::u16string>& texts) const;

  void Init(std::u16string_view root, std::u16string_view card, std::u16string_view site) const;
  void Enter(std::u16string_view card) const;
  void GetData(std::u16string_view file_id, IStream* stream) const;
  void WorkBegin(IVeltoWorkEvents* events) const;
  void WorkEnd() const;
  // The calling thread's message of its last failed export call.
  std::u16string LastError() const;

 private:
  // A BSTR made and freed by the library, as hosts without oleaut32 make theirs.
  class HostText;

  HostLibrary library_;
};

}  // namespace velto::test
