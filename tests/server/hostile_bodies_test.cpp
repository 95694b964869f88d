// Bodies, paths and forms built to crash the server or to store what clients cannot read back.
#include <gtest/gtest.h>

#include "server_fixture.h"

namespace velto::test {
namespace {

using HostileBodyTest = ServerTest;

std::string Nested(int depth, char open, char close) {
  return std::string(depth, open) + std::string(depth, close);
}

std::string DeepObjects(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "{\"a\":";
  return text + "1" + std::string(depth, '}');
}

// Each body crashed the server (a recursive parse) or stored text that breaks later replies.
TEST_F(HostileBodyTest, BadJsonIsRefusedBeforeAnythingIsStored) {
  Api api = RootApi();
  const World w = MakeWorld(api, "h");
  const std::string survey_path = "/surveys/" + w.issue;
  struct Case {
    std::string path;
    std::string body;
    bool keyed = true;
  };
  const Case cases[] = {
      {"/user/root/gate", DeepObjects(100000), false},
      {"/user/root/gate", Nested(150000, '[', ']'), false},
      {"/sites", "{\"id\":\"deep\",\"name\":" + Nested(150000, '[', ']') + "}"},
      {survey_path, "{\"name\":\"deep\",\"values\":\"" + Nested(200000, '[', ']') + "\"}"},
      {"/sites", "{\"id\":\"bad-utf8\",\"name\":\"\xff\"}"},
      {"/sites", "{\"id\":\"surrogate\",\"name\":\"\\udc00\"}"},
      {"/sites", "{\"id\":\"" + std::string(257, 'x') + "\",\"name\":\"long id\"}"},
      {survey_path, R"({"name":"order","order":"12abc"})"},
      {survey_path, R"({"name":"order","order":2.5})"},
      {survey_path, R"({"name":"order","order":"x"})"},
      {survey_path, R"({"name":"order","order":1e2})"},
  };
  Api anonymous(server());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + c.body.substr(0, 60));
    const Reply reply = (c.keyed ? api : anonymous).Post(c.path, c.body);
    EXPECT_EQ(reply.code(), "303") << reply.body.substr(0, 200);
  }
  EXPECT_EQ(api.Get("/sites").value().Size(), 1u);
  EXPECT_EQ(api.Get(survey_path).value().Size(), 1u);
  // Whole numbers are orders, in JSON or in text.
  for (const char* order : {"12", "-3", "\"7\""}) {
    const Reply reply = api.Post(survey_path, std::string(R"({"name":"n","order":)") + order + "}");
    EXPECT_EQ(reply.code(), "100") << order << " " << reply.body;
  }
}

TEST_F(HostileBodyTest, PathValuesMustBeUsableIds) {
  Api api = RootApi();
  const World w = MakeWorld(api, "p");
  EXPECT_EQ(api.Get("/site/" + std::string(257, 'x')).code(), "303");
  EXPECT_EQ(api.Get("/site/" + std::string(256, 'x')).code(), "301");
  EXPECT_EQ(api.Get("/person/" + w.site + "/%FF").code(), "303");
  // A billing entry takes its person from the path without looking it up.
  EXPECT_EQ(api.Post("/billing/" + w.site + "/%C0%AF", LibraryJson({{"classCd", "c"}})).code(),
            "303");
  EXPECT_EQ(
      api.Get("/billing/" + w.site + "?personId=&classCd=&searchFrom=&searchTo=").value().Size(),
      0u);
}

TEST_F(HostileBodyTest, FormsOfUploadsAreChecked) {
  Api api = RootApi();
  const World w = MakeWorld(api, "u");
  std::vector<FormPart> two_files = UploadParts("one", "a.txt", "", "");
  two_files.push_back({FormPart::kFile, "file", "two", "b.txt"});
  std::vector<FormPart> long_text = UploadParts("x", "a.txt", "", "");
  long_text.push_back({FormPart::kBareText, "hlscName", std::string(70 * 1024, 'n'), ""});
  const std::vector<FormPart> cases[] = {
      two_files,
      long_text,
      UploadParts("x", "a.txt", "\xff", ""),             // a text part that is no UTF-8
      {{FormPart::kFile, "file", "x", "\xc0\xaf.txt"}},  // nor is its file name
  };
  for (const auto& parts : cases) {
    const Reply reply = api.PostForm("/files/" + w.issue, parts);
    EXPECT_EQ(reply.code(), "303") << reply.body;
  }
  EXPECT_EQ(api.Get("/files/" + w.issue + "?name=").value().Size(), 1u) << "only the world's";
}

}  // namespace
}  // namespace velto::test
