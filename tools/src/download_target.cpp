#include "download_target.h"

namespace velto::cli {

DownloadWay ChooseDownloadWay(std::string_view name, std::filesystem::file_type found) {
  using std::filesystem::file_type;
  if (name == "-") return DownloadWay::StandardOutput;
  // Renaming over a pipe or a device would take it away from whoever else uses it.
  const bool replaceable =
      found == file_type::regular || found == file_type::not_found || found == file_type::none;
  return replaceable ? DownloadWay::ReplaceByNewFile : DownloadWay::WriteThrough;
}

}  // namespace velto::cli
