#include "closest_word.h"

#include <algorithm>
#include <numeric>

namespace velto::cli {
namespace {

size_t EditDistance(std::string_view from, std::string_view to) {
  std::vector<size_t> row(to.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= from.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= to.size(); ++j) {
      const size_t above = row[j];
      row[j] =
          std::min({row[j] + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[to.size()];
}

}  // namespace

std::string ClosestWord(std::string_view word, const std::vector<std::string>& known) {
  const auto closest =
      std::min_element(known.begin(), known.end(), [word](const auto& a, const auto& b) {
        return EditDistance(word, a) < EditDistance(word, b);
      });
  return closest == known.end() ? std::string() : *closest;
}

}  // namespace velto::cli
