#include "velto/mime_types_table.h"
#include "velto/system_media_types.h"

namespace velto {

std::string SystemMediaType(std::string_view extension) {
  // Read on first use; the initialisation of a local static is safe between threads.
  static const MimeTypesTable table = MimeTypesTable::Load("/etc/mime.types");
  return table.Find(extension);
}

}  // namespace velto
