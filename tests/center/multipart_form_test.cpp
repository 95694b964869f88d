#include "velto/multipart_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "scratch_path.h"
#include "velto/unicode.h"

namespace velto {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(TMultipartForm& form, size_t chunk) {
  std::string out;
  std::string buffer(chunk, '\0');
  while (const size_t got = form.Read(buffer.data(), chunk)) out.append(buffer, 0, got);
  return out;
}

class MultipartFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_);
    std::ofstream(file_, std::ios::binary) << std::string("\0\x01png\r\n", 7);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_ = test::ScratchPath("form");
  fs::path file_ = folder_ / "velto-form-Photo.PNG";
};

TEST_F(MultipartFormTest, FramesEveryKindOfPart) {
  TMultipartForm form({2024, 3, 5, 14, 7, 9, 42});
  form.AddTextPart(u"id", "a+b%26c");
  form.AddTextPart(u"empty", "");
  form.AddFilePart(u"file", Utf8ToUtf16(file_.string()));
  form.AddBareTextPart(u"file-name", "velto-form-Photo.PNG");
  const std::string boundary = "--------030524140709042";
  EXPECT_EQ(form.Boundary(), boundary);
  EXPECT_EQ(form.ContentType(), "multipart/form-data; boundary=" + boundary);
  const std::string expected =
      "--" + boundary +
      "\r\n"
      "Content-Disposition: form-data; name=\"id\"\r\n"
      "Content-Type: text/plain\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n"
      "\r\n"
      "a+b%26c\r\n"
      "--" +
      boundary +
      "\r\n"
      "Content-Disposition: form-data; name=\"empty\"\r\n"
      "Content-Type: text/plain\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n"
      "\r\n"
      "\r\n"
      "--" +
      boundary +
      "\r\n"
      "Content-Disposition: form-data; name=\"file\"; filename=\"velto-form-Photo.PNG\"\r\n"
      "Content-Type: image/png\r\n"
      "Content-Transfer-Encoding: binary\r\n"
      "\r\n" +
      std::string("\0\x01png\r\n", 7) +
      "\r\n"
      "--" +
      boundary +
      "\r\n"
      "Content-Disposition: form-data; name=\"file-name\"\r\n"
      "Content-Type: text/plain\r\n"
      "\r\n"
      "velto-form-Photo.PNG\r\n"
      "--" +
      boundary + "--\r\n";
  EXPECT_EQ(form.Size(), expected.size());
  EXPECT_EQ(ReadAll(form, 5), expected);  // small reads cross every segment border
  ASSERT_TRUE(form.Rewind());
  EXPECT_EQ(ReadAll(form, 4096), expected);
}

#ifndef _WIN32  // Windows file names cannot hold a quotation mark or a line break
TEST_F(MultipartFormTest, AFileNameCannotEndItsValueOrAddHeaders) {
  const fs::path odd = folder_ / "a\"; name=\"other\r\n\r\n%22.png";
  std::ofstream(odd, std::ios::binary) << "data";
  TMultipartForm form({2024, 3, 5, 14, 7, 9, 42});
  form.AddFilePart(u"file", Utf8ToUtf16(odd.string()));
  EXPECT_EQ(ReadAll(form, 4096),
            "----------030524140709042\r\n"
            "Content-Disposition: form-data; name=\"file\"; "
            "filename=\"a%22; name=%22other%0D%0A%0D%0A%22.png\"\r\n"
            "Content-Type: image/png\r\n"
            "Content-Transfer-Encoding: binary\r\n"
            "\r\n"
            "data\r\n"
            "----------030524140709042--\r\n");
}
#endif

std::u16string AddFileFailure(const std::u16string& path) {
  TMultipartForm form;
  try {
    form.AddFilePart(u"file", path);
  } catch (const Exception& error) {
    return error.Message();
  }
  return u"added";
}

TEST_F(MultipartFormTest, AFileThatCannotBeOpenedFailsNamingItAndTheReason) {
  std::vector<std::u16string> paths = {
      Utf8ToUtf16(test::ScratchPath("no-such").string()),
      Utf8ToUtf16((test::ScratchPath("no-such-folder") / "a.png").string()),
      Utf8ToUtf16(fs::temp_directory_path().string()),
      u"",
#ifdef _WIN32
      u"NUL",  // a device opens, but is no file
#else
      u"/dev/null",
#endif
  };
#ifndef _WIN32
  // A named pipe without a writer must not hold the caller up.
  const fs::path pipe = test::ScratchPath("form-pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  paths.push_back(Utf8ToUtf16(pipe.string()));
#endif
  for (const std::u16string& path : paths) {
    const std::u16string message = AddFileFailure(path);
    const std::u16string start = u"Cannot open file \"" + path + u"\". ";
    EXPECT_TRUE(message.starts_with(start)) << Utf16ToUtf8(message);
    EXPECT_GT(message.size(), start.size() + 5) << "the system's reason follows";
    EXPECT_TRUE(message.ends_with(u".") && !message.ends_with(u"..")) << Utf16ToUtf8(message);
  }
#ifndef _WIN32
  fs::remove(pipe);
#endif
}

// The file opened for writing, with a write lock where locks are advisory, as an editor or
// a copying program holds it.
class Writer {
 public:
#ifdef _WIN32
  explicit Writer(const fs::path& path)
      : file_(CreateFileW(path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~Writer() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool Holds() const {
    return file_ != INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE file_;
#else
  explicit Writer(const fs::path& path) : fd_(open(path.c_str(), O_RDWR | O_CLOEXEC)) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    locked_ = fd_ >= 0 && fcntl(fd_, F_OFD_SETLK, &lock) == 0;
  }
  ~Writer() {
    if (fd_ >= 0) close(fd_);
  }
  bool Holds() const {
    return locked_;
  }

 private:
  int fd_;
  bool locked_ = false;
#endif
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
};

TEST_F(MultipartFormTest, AFileBeingWrittenIsRefused) {
  const std::u16string path = Utf8ToUtf16(file_.string());
  {
    const Writer writer(file_);
    ASSERT_TRUE(writer.Holds());
    const std::u16string message = AddFileFailure(path);
    EXPECT_TRUE(message.starts_with(u"Cannot open file \"" + path + u"\". "))
        << Utf16ToUtf8(message);
  }
  EXPECT_EQ(AddFileFailure(path), u"added");
}

TEST_F(MultipartFormTest, AFileInAFormShutsWritersOutButNotReaders) {
  {
    TMultipartForm form;
    form.AddFilePart(u"file", Utf8ToUtf16(file_.string()));
    EXPECT_FALSE(Writer(file_).Holds());
    TMultipartForm second;
    EXPECT_NO_THROW(second.AddFilePart(u"file", Utf8ToUtf16(file_.string())));
  }
  EXPECT_TRUE(Writer(file_).Holds()) << "the form lets the file go";
}

TEST(QuotedPrintable, EncodesAndBreaksLongLines) {
  EXPECT_EQ(QuotedPrintable("a+b%26c"), "a+b%26c");
  EXPECT_EQ(QuotedPrintable("a=b c\t\x7F"), "a=3Db c\t=7F");
  EXPECT_EQ(QuotedPrintable("end "), "end=20");
  const std::string long_value(80, 'x');
  EXPECT_EQ(QuotedPrintable(long_value), std::string(75, 'x') + "=\r\n" + std::string(5, 'x'));
  EXPECT_EQ(QuotedPrintable(std::string(76, 'x')), std::string(76, 'x'));
}

TEST(FileParts, TakeTheBareName) {
  EXPECT_EQ(BareFileName(u"C:\\docs\\a.pdf"), u"a.pdf");
  EXPECT_EQ(BareFileName(u"C:a.pdf"), u"a.pdf");
  EXPECT_EQ(BareFileName(u"/tmp/b.txt"), u"b.txt");
  EXPECT_EQ(BareFileName(u"plain"), u"plain");
  // "/" ends a folder name too, on Windows as well: taking only what follows the last "\"
  // or ":" would send these folder paths as the file's name.
  EXPECT_EQ(BareFileName(u"C:/scan/a.png"), u"a.png");
  EXPECT_EQ(BareFileName(u"C:\\docs/scan\\2024/a.png"), u"a.png");
  EXPECT_EQ(BareFileName(u"\\\\server\\share/a.png"), u"a.png");
}

}  // namespace
}  // namespace velto
