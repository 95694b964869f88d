#include "download_file.h"

#include <random>
#include <stdexcept>

#include "utf8_path.h"

namespace velto::cli {
namespace {

// Unique per run, so that two downloads to one name, or a file left by one that was
// killed, never meet.
std::filesystem::path PartialBeside(const std::filesystem::path& target) {
  std::filesystem::path partial = target;
  partial += ".";
  partial += std::to_string(std::random_device()());
  partial += ".part";
  return partial;
}

}  // namespace

DownloadFile::DownloadFile(const std::string& name)
    : target_(PathFromUtf8(name)),
      partial_(PartialBeside(target_)),
      stream_(std::make_unique<FileStream>(partial_)) {}

DownloadFile::~DownloadFile() {
  if (stream_ == nullptr) return;
  stream_->Close();
  std::error_code ignored;
  std::filesystem::remove(partial_, ignored);
}

void DownloadFile::Keep() {
  if (!stream_->Close())
    throw std::runtime_error(std::string("cannot write ").append(Utf8FromPath(target_)));
  MoveIntoPlace(partial_, target_);
  stream_.reset();  // in place: nothing is left to remove
}

}  // namespace velto::cli
