#pragma once

#include <string>
#include <string_view>

#include "velto_box.h"

namespace velto {

class TMultipartForm;

// The base of the resource access classes: each method forwards to the one connection.
class TVeltoDAO {
 public:
  static std::u16string DoGet(std::u16string_view path);
  static void DoGet(std::u16string_view path, IStream* response);
  static std::u16string DoPost(std::u16string_view path, std::u16string_view body);
  static std::u16string DoPost(std::u16string_view path, TMultipartForm& request);
  static std::u16string DoPut(std::u16string_view path, std::u16string_view body);
  static std::u16string DoDelete(std::u16string_view path);
};

}  // namespace velto
