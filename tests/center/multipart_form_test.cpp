#include "velto/multipart_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    std::ofstream(file_, std::ios::binary) << std::string("\0\x01png\r\n", 7);
  }
  void TearDown() override { fs::remove(file_); }

  fs::path file_ = fs::temp_directory_path() / "velto-form-Photo.PNG";
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

TEST_F(MultipartFormTest, AFileThatCannotBeOpenedFailsNamingIt) {
  TMultipartForm form;
  const std::u16string missing =
      Utf8ToUtf16((fs::temp_directory_path() / "velto-no-such").string());
  try {
    form.AddFilePart(u"file", missing);
    FAIL() << "no failure";
  } catch (const Exception& error) {
    const std::u16string message = error.Message();
    EXPECT_NE(message.find(u"Cannot open file \"" + missing + u"\". "), std::u16string::npos);
    EXPECT_GT(message.size(), missing.size() + 20) << "the system's reason follows";
  }
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
}

}  // namespace
}  // namespace velto
