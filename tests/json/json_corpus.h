#pragma once

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

inline std::vector<CorpusFile> LoadCorpus() {
  const std::filesystem::path folder(VELTO_JSON_CORPUS);
  std::vector<CorpusFile> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
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

}  // namespace velto::testing
