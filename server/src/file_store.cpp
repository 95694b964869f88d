#include "file_store.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "form_text.h"
#include "ids.h"

namespace velto::server {
namespace {

constexpr size_t kChunk = 64 * 1024;

// filename*= carries the UTF-8 name for browsers; the plain filename= is an ASCII fallback.
std::string ContentDisposition(const std::string& name) {
  std::string ascii;
  for (unsigned char c : name) {
    ascii += (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') ? static_cast<char>(c) : '_';
  }
  return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + PercentEncode(name);
}

}  // namespace

FileStore::Upload::Upload(const std::filesystem::path& folder)
    : temporary_(folder / (".upload-" + NewId())), out_(temporary_, std::ios::binary) {
  if (!out_) throw std::runtime_error("cannot create " + temporary_.string());
}

FileStore::Upload::~Upload() {
  if (kept_) return;
  out_.close();
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

bool FileStore::Upload::Write(const char* data, size_t size) {
  out_.write(data, static_cast<std::streamsize>(size));
  size_ += static_cast<std::int64_t>(size);
  return static_cast<bool>(out_);
}

void FileStore::Upload::Keep(const FileStore& store, const std::string& name) {
  out_.close();
  if (!out_) throw std::runtime_error("cannot write " + temporary_.string());
  std::filesystem::rename(temporary_, store.PathOf(name));
  kept_ = true;
}

FileStore::FileStore(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::filesystem::create_directories(folder_);
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
                      httplib::Response& response) const {
  auto in = std::make_shared<std::ifstream>(PathOf(name), std::ios::binary);
  if (!*in) return false;
  std::error_code error;
  const auto size = std::filesystem::file_size(PathOf(name), error);
  if (error) return false;
  response.set_header("Content-Disposition", ContentDisposition(download_name));
  if (size == 0) {
    response.set_content("", "application/octet-stream");
    return true;
  }
  response.set_content_provider(static_cast<size_t>(size), "application/octet-stream",
                                [in](size_t offset, size_t length, httplib::DataSink& sink) {
                                  char buffer[kChunk];
                                  in->seekg(static_cast<std::streamoff>(offset));
                                  in->read(buffer,
                                           static_cast<std::streamsize>(std::min(length, kChunk)));
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
