#include "console.h"

#include <iostream>
#include <iterator>

namespace velto::cli {

std::string ReadStandardInput() {
  return std::string(std::istreambuf_iterator<char>(std::cin), {});
}

}  // namespace velto::cli
