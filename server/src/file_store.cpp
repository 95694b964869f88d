#include "file_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "byte_range.h"
#include "database.h"
#include "form_text.h"
#include "ids.h"

namespace velto::server {
namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr const char* kOctets = "application/octet-stream";

// filename*= carries the UTF-8 name for browsers; the plain filename= is an ASCII fallback.
std::string ContentDisposition(const std::string& name) {
  std::string ascii;
  for (unsigned char c : name) {
    ascii += (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') ? static_cast<char>(c) : '_';
  }
  return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + PercentEncode(name);
}

[[noreturn]] void FailToWrite(const std::filesystem::path& path, int error) {
  const std::string message = "cannot write " + path.string() + ": " + std::strerror(error);
  if (error == ENOSPC || error == EDQUOT) throw StorageFull(message);
  throw std::runtime_error(message);
}

}  // namespace

FileStore::Upload::Upload(const std::filesystem::path& folder)
    : temporary_(folder / (".upload-" + NewId())),
      fd_(open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)) {
  if (fd_ < 0) FailToWrite(temporary_, errno);
}

FileStore::Upload::~Upload() {
  if (fd_ >= 0) close(fd_);
  if (kept_) return;
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

void FileStore::Upload::Write(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) FailToWrite(temporary_, written < 0 ? errno : ENOSPC);
    data += written;
    size -= static_cast<size_t>(written);
    size_ += static_cast<std::uint64_t>(written);
  }
}

void FileStore::Upload::Keep(const FileStore& store, const std::string& name) {
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) FailToWrite(temporary_, errno);
  std::filesystem::rename(temporary_, store.PathOf(name));
  kept_ = true;
}

FileStore::FileStore(std::filesystem::path folder) : folder_(std::move(folder)) {
  try {
    std::filesystem::create_directories(folder_);
    // What an earlier run left of uploads it never finished.
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      if (entry.path().filename().string().starts_with(".upload-")) {
        std::filesystem::remove(entry.path());
      }
    }
    Upload probe(folder_);
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot use the files folder " + folder_.string() + ": " +
                             error.what());
  }
}

std::filesystem::path FileStore::PathOf(const std::string& name) const {
  // Stored names are generated ids; anything else must never reach the file system.
  if (name.empty() || name.find_first_of("/\\.") != std::string::npos) {
    throw std::runtime_error("not a stored file name: " + name);
  }
  return folder_ / name;
}

void FileStore::Remove(const std::string& name) const {
  if (name.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(PathOf(name), ignored);
}

bool FileStore::Serve(const std::string& name, const std::string& download_name,
                      std::string_view range, httplib::Response& response) const {
  auto in = std::make_shared<std::ifstream>(PathOf(name), std::ios::binary);
  if (!*in) return false;
  std::error_code error;
  const std::uint64_t size = std::filesystem::file_size(PathOf(name), error);
  if (error) return false;
  response.set_header("Content-Disposition", ContentDisposition(download_name));
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Accept-Ranges", "bytes");
  const ByteRange part = RangeOf(range, size);
  if (part.answer == ByteRange::Answer::kUnsatisfiable) {
    response.status = 416;
    response.set_header("Content-Range", "bytes */" + std::to_string(size));
    response.set_content("", kOctets);
    return true;
  }
  if (size == 0) {
    response.set_content("", kOctets);
    return true;
  }
  std::uint64_t offset = 0;
  std::uint64_t length = size;
  if (part.answer == ByteRange::Answer::kPart) {
    response.status = 206;
    response.set_header("Content-Range", "bytes " + std::to_string(part.first) + "-" +
                                             std::to_string(part.last) + "/" +
                                             std::to_string(size));
    offset = part.first;
    length = part.length();
  }
  response.set_content_provider(static_cast<size_t>(length), kOctets,
                                [in, offset](size_t at, size_t wanted, httplib::DataSink& sink) {
                                  char buffer[kChunk];
                                  in->seekg(static_cast<std::streamoff>(offset + at));
                                  in->read(buffer,
                                           static_cast<std::streamsize>(std::min(wanted, kChunk)));
                                  const auto got = in->gcount();
                                  return got > 0 && sink.write(buffer, static_cast<size_t>(got));
                                });
  return true;
}

TemporaryFolder::TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velto-files-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace velto::server
