#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "velto/unicode.h"

namespace velto::testing {

// One file of the JSON parsing conformance corpus.
struct CorpusFile {
  std::string name;
  std::u16string text;  // decoded from UTF-8 with replacement, as a host would hand it over
};

inline bool CorpusPresent() {
  return std::filesystem::is_directory(VELTO_JSON_CORPUS);
}

inline std::vector<CorpusFile> LoadCorpus() {
  std::vector<CorpusFile> files;
  if (!CorpusPresent()) return files;
  for (const auto& entry : std::filesystem::directory_iterator(VELTO_JSON_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    files.push_back({entry.path().filename().string(), Utf8ToUtf16(bytes)});
  }
  std::sort(files.begin(), files.end(),
            [](const CorpusFile& a, const CorpusFile& b) { return a.name < b.name; });
  return files;
}

// The corpus, read once, in name order.
inline const std::vector<CorpusFile>& Corpus() {
  static const std::vector<CorpusFile> corpus = LoadCorpus();
  return corpus;
}

// Cases that read the corpus; they are skipped, saying why, where the checkout has none beside it.
class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CorpusPresent()) {
      GTEST_SKIP() << "no JSON conformance corpus at " << VELTO_JSON_CORPUS
                   << " (set the CMake variable VELTO_JSON_CORPUS_DIR)";
    }
  }
};

}  // namespace velto::testing
