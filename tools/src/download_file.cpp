#include "download_file.h"

#include <random>
#include <stdexcept>

#include "utf8_path.h"

namespace velto::cli {
namespace {

namespace fs = std::filesystem;

// Unique per run, so that two downloads to one name, or a file left by one that was
// killed, never meet.
fs::path PartialBeside(const fs::path& target) {
  fs::path partial = target;
  partial += ".";
  partial += std::to_string(std::random_device()());
  partial += ".part";
  return partial;
}

fs::file_type FoundAt(const fs::path& target) {
  std::error_code unknown;
  return fs::status(target, unknown).type();
}

// A link to a file stays a link: what it points to is replaced.
fs::path Resolved(const fs::path& target) {
  std::error_code unresolved;
  const fs::path real = fs::canonical(target, unresolved);
  return unresolved ? target : real;
}

FileOpening OpeningFor(DownloadWay way) {
  switch (way) {
    case DownloadWay::StandardOutput:
      return FileOpening::StandardOutput;
    case DownloadWay::WriteThrough:
      return FileOpening::Existing;
    case DownloadWay::ReplaceByNewFile:
      break;
  }
  return FileOpening::CreateNew;
}

std::optional<InterruptCleanup> CleanupOf(const fs::path& partial) {
  if (partial.empty()) return std::nullopt;
  return std::optional<InterruptCleanup>(std::in_place, partial);
}

}  // namespace

DownloadFile::DownloadFile(const std::string& name)
    : DownloadFile(PathFromUtf8(name),
                   ChooseDownloadWay(
                       name, name == "-" ? fs::file_type::none : FoundAt(PathFromUtf8(name)))) {}

DownloadFile::DownloadFile(const fs::path& target, DownloadWay way)
    : target_(way == DownloadWay::ReplaceByNewFile ? Resolved(target) : target),
      partial_(way == DownloadWay::ReplaceByNewFile ? PartialBeside(target_) : fs::path()),
      cleanup_(CleanupOf(partial_)),
      stream_(
          std::make_unique<FileStream>(partial_.empty() ? target_ : partial_, OpeningFor(way))) {}

DownloadFile::~DownloadFile() {
  if (stream_ == nullptr) return;
  stream_->Close();
  if (partial_.empty()) return;
  std::error_code ignored;
  fs::remove(partial_, ignored);
}

std::string DownloadFile::Name() const {
  return partial_.empty() && target_ == "-" ? "standard output" : Utf8FromPath(target_);
}

void DownloadFile::ThrowIfWriteFailed() const {
  if (stream_->WriteFailed()) throw std::runtime_error("cannot write " + Name());
}

void DownloadFile::Keep() {
  if (!stream_->Close()) throw std::runtime_error("cannot write " + Name());
  if (!partial_.empty()) {
    std::error_code absent;
    const fs::perms kept = fs::status(target_, absent).permissions();
    if (!absent) fs::permissions(partial_, kept, absent);
    MoveIntoPlace(partial_, target_);
  }
  stream_.reset();  // in place: nothing is left to remove
}

}  // namespace velto::cli
