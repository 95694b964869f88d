#pragma once

#include <httplib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace velto::server {

// The folder that holds the bytes of uploaded files, each under its stored name (a
// generated, URL-safe id).
class FileStore {
 public:
  // A file being received. It lands under a temporary name and is removed unless kept.
  class Upload {
   public:
    explicit Upload(const std::filesystem::path& folder);
    ~Upload();
    Upload(const Upload&) = delete;
    Upload& operator=(const Upload&) = delete;

    // Throws when the bytes cannot be written (StorageFull when the disk is full).
    void Write(const char* data, size_t size);
    std::uint64_t size() const { return size_; }
    // Moves the bytes to their stored name.
    void Keep(const FileStore& store, const std::string& name);

   private:
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool kept_ = false;
  };

  explicit FileStore(std::filesystem::path folder);

  const std::filesystem::path& folder() const { return folder_; }
  void Remove(const std::string& name) const;
  // Streams the stored bytes as the body of the response, or the one range of them that
  // `range` (a "Range" header's value, empty for none) asks for; false when they are missing.
  bool Serve(const std::string& name, const std::string& download_name, std::string_view range,
             httplib::Response& response) const;

 private:
  std::filesystem::path PathOf(const std::string& name) const;

  std::filesystem::path folder_;
};

// A private temporary folder, removed with everything in it when this goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace velto::server
