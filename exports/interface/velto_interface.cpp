// velto_interface: writes, or checks, the files of the exported interface that come from the
// tables of exports: the declarations in exports/velto_box.h and the two .def files.
// Usage: velto_interface write|check SOURCE_FOLDER
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interface_files.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct InterfaceFile {
  fs::path path;
  std::string expected;
};

std::vector<InterfaceFile> Expected(const fs::path& source) {
  const fs::path header = source / "exports" / "velto_box.h";
  std::string text = Read(header);
  text = velto::WithBlock(text, velto::kCompositeBlock, velto::CompositeDeclarations());
  text = velto::WithBlock(text, velto::kPassThroughBlock, velto::PassThroughDeclarations());
  return {{header, text},
          {source / "exports" / "velto_box.def", velto::DefFile32()},
          {source / "exports" / "velto_box_x64.def", velto::DefFile64()}};
}

int Run(const std::string& mode, const fs::path& source) {
  int stale = 0;
  for (const InterfaceFile& file : Expected(source)) {
    const bool same = fs::exists(file.path) && Read(file.path) == file.expected;
    if (same) continue;
    if (mode == "write") {
      std::ofstream(file.path, std::ios::binary) << file.expected;
      std::printf("wrote %s\n", file.path.string().c_str());
    } else {
      std::fprintf(stderr, "%s does not match the tables of exports\n", file.path.string().c_str());
      ++stale;
    }
  }
  if (stale > 0) {
    std::fprintf(stderr,
                 "write them again: cmake --build <build folder> --target velto_interface_files\n");
  }
  return stale == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  if (mode != "write" && mode != "check") {
    std::fprintf(stderr, "usage: velto_interface write|check SOURCE_FOLDER\n");
    return 2;
  }
  try {
    return Run(mode, argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velto_interface: %s\n", error.what());
    return 2;
  }
}
