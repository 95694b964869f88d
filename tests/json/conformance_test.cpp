#include <gtest/gtest.h>

#include <string>

#include "json_corpus.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Corpus;
using testing::CorpusFile;

char16_t FirstNonSpace(const std::u16string& text) {
  const auto at = text.find_first_not_of(u" \t\r\n");
  return at == text.npos ? u'\0' : text[at];
}

bool Accepts(bool asObject, const std::u16string& text) {
  try {
    if (asObject) {
      JSONObject(text);
    } else {
      JSONArray(text);
    }
    return true;
  } catch (const ETypeMismatch&) {
    return false;
  }
}

class JsonConformance : public testing::CorpusTest {};

TEST_F(JsonConformance, CorpusIsComplete) {
  EXPECT_GT(Corpus().size(), 300u);
}

TEST_F(JsonConformance, AcceptsEveryValidObjectAndArray) {
  int checked = 0;
  for (const CorpusFile& file : Corpus()) {
    if (file.name.rfind("y_", 0) != 0) continue;
    const char16_t first = FirstNonSpace(file.text);
    if (first != u'{' && first != u'[') continue;
    EXPECT_TRUE(Accepts(first == u'{', file.text)) << file.name;
    EXPECT_FALSE(Accepts(first != u'{', file.text)) << file.name;
    ++checked;
  }
  EXPECT_GT(checked, 50);
}

TEST_F(JsonConformance, RefusesEveryInvalidText) {
  int checked = 0;
  for (const CorpusFile& file : Corpus()) {
    if (file.name.rfind("n_", 0) != 0) continue;
    EXPECT_FALSE(Accepts(true, file.text)) << file.name;
    EXPECT_FALSE(Accepts(false, file.text)) << file.name;
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST_F(JsonConformance, ImplementationDefinedTextNeverCrashes) {
  for (const CorpusFile& file : Corpus()) {
    if (file.name.rfind("i_", 0) != 0) continue;
    for (const bool asObject : {true, false}) {
      if (!Accepts(asObject, file.text)) continue;
      // Whatever was accepted can be copied and written.
      TJSONBox box = TJSONBox::Create(asObject ? Variant(JSONObject(file.text))
                                               : Variant(JSONArray(file.text)));
      JSONRootGuard guard(box);
      EXPECT_FALSE(box.Stringify().empty()) << file.name;
    }
  }
}

}  // namespace
}  // namespace velto
