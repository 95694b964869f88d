#pragma once

#include <filesystem>
#include <string_view>

namespace velto::cli {

// How a download reaches the name given with -o.
enum class DownloadWay {
  StandardOutput,    // "-"
  ReplaceByNewFile,  // a new file beside it takes the name once complete
  WriteThrough,      // a FIFO, a device or a socket: written into, never replaced
};

// The way for `name`, given what is there with links followed.
DownloadWay ChooseDownloadWay(std::string_view name, std::filesystem::file_type found);

}  // namespace velto::cli
