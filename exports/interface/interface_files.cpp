#include "interface_files.h"

#include <cstddef>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "velto/export_table.h"
#include "velto/pass_through_catalog.h"
#include "velto_box.h"

namespace velto {
namespace {

constexpr size_t kColumns = 100;  // as clang-format lays the header out

// The bytes a value takes on the stack of a 32-bit stdcall: the @N of the symbol.
template <typename T>
constexpr size_t StackBytes32() {
  if constexpr (std::is_pointer_v<T>) {
    return 4;
  } else {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 8, "no such argument in the exports");
    return sizeof(T) <= 4 ? 4 : 8;
  }
}

template <typename Function>
struct ArgumentBytes32;
template <typename Result, typename... Parameters>
struct ArgumentBytes32<Result (*)(Parameters...)> {
  static constexpr size_t value = (size_t{0} + ... + StackBytes32<Parameters>());
};

struct Export {
  std::string name;
  std::vector<std::string> parameters;  // C declarations, the result variable included
  size_t bytes32 = 0;
};

Export Declared(std::string_view name, std::vector<std::string> parameters) {
  Export function{std::string(name), std::move(parameters)};
  function.bytes32 = 4 * function.parameters.size();  // all pointers
  return function;
}

// A text-returning export whose parameters are texts.
Export DeclaredText(const TextExport& text_export) {
  std::vector<std::string> parameters;
  for (const std::string_view name : text_export.parameters) {
    parameters.push_back("BSTR " + std::string(name));
  }
  parameters.push_back("BSTR* Result");
  return Declared(text_export.name, std::move(parameters));
}

std::vector<Export> PassThroughExports() {
  std::vector<Export> exports;
  ForEachSingleOperationExport(
      [&exports](const PassThroughOperation& operation) {
        std::vector<std::string> parameters;
        const std::span<const std::string_view> names = operation.Parameters();
        for (size_t i = 0; i < names.size(); ++i) {
          const bool stream = operation.TakesStream() && i + 1 == names.size();
          parameters.push_back((stream ? "IStream* " : "BSTR ") + std::string(names[i]));
        }
        if (operation.ReturnsText()) parameters.push_back("BSTR* Result");
        exports.push_back(Declared(operation.name, std::move(parameters)));
      },
      [&exports](const TextExport& address) { exports.push_back(DeclaredText(address)); });
  return exports;
}

std::vector<Export> CompositeExportList() {
  std::vector<Export> exports;
  for (const TextExport& composite : CompositeExports()) {
    exports.push_back(DeclaredText(composite));
  }
  return exports;
}

// Every export in the order of velto_box.h; those declared by hand with the bytes of their
// declarations.
std::vector<Export> EveryExport() {
#define VELTO_LIBRARY_EXPORT_(Name) {#Name, {}, ArgumentBytes32<decltype(&Name)>::value},
  std::vector<Export> exports = {VELTO_LIBRARY_EXPORTS(VELTO_LIBRARY_EXPORT_)};
#undef VELTO_LIBRARY_EXPORT_
  for (std::vector<Export> more : {CompositeExportList(), PassThroughExports()}) {
    exports.insert(exports.end(), more.begin(), more.end());
  }
  return exports;
}

// One declaration; parameters that pass the column limit go on lines of their own, aligned
// after the opening parenthesis.
std::string Declaration(const Export& function) {
  const std::string head = "VELTO_API void STDCALL " + function.name + "(";
  std::string text = head;
  size_t column = head.size();
  const std::vector<std::string> parameters =
      function.parameters.empty() ? std::vector<std::string>{"void"} : function.parameters;
  for (size_t i = 0; i < parameters.size(); ++i) {
    const std::string piece = parameters[i] + (i + 1 == parameters.size() ? ");" : ",");
    if (i > 0 && column + 1 + piece.size() > kColumns) {
      text.append("\n").append(head.size(), ' ');
      column = head.size();
    } else if (i > 0) {
      text += ' ';
      ++column;
    }
    text += piece;
    column += piece.size();
  }
  return text + "\n";
}

std::string Declarations(const std::vector<Export>& exports) {
  std::string text;
  for (size_t i = 0; i < exports.size(); ++i) {
    if (i > 0 && ExportResource(exports[i].name) != ExportResource(exports[i - 1].name)) {
      text += "\n";
    }
    text += Declaration(exports[i]);
  }
  return text;
}

std::string DefFile(std::string_view comment, bool decorated) {
  std::string text(comment);
  text += "LIBRARY \"Velto.Box.dll\"\nEXPORTS\n";
  for (const Export& function : EveryExport()) {
    text += "  " + function.name;
    if (decorated) text.append("@").append(std::to_string(function.bytes32));
    text += "\n";
  }
  return text;
}

}  // namespace

std::string CompositeDeclarations() {
  return Declarations(CompositeExportList());
}

std::string PassThroughDeclarations() {
  return Declarations(PassThroughExports());
}

std::string WithBlock(const std::string& header, std::string_view block,
                      const std::string& declarations) {
  const std::string begin = "/* BEGIN " + std::string(block);
  const std::string end = "/* END " + std::string(block) + " */\n";
  const size_t begin_at = header.find(begin);
  const size_t end_at = header.find(end);
  if (begin_at == std::string::npos || end_at == std::string::npos || end_at < begin_at) {
    throw std::runtime_error("velto_box.h lacks the markers of the " + std::string(block));
  }
  const size_t inside = header.find('\n', begin_at) + 1;
  return header.substr(0, inside) + declarations + header.substr(end_at);
}

std::string DefFile32() {
  return DefFile(
      "; The exports of Velto.Box.dll for 32-bit Windows, written by velto_interface from its\n"
      "; tables: do not edit. Each stdcall function is listed under its symbol, its name and\n"
      "; the bytes of its arguments, which the linker checks against the code. The DLL exports\n"
      "; every name plainly (--kill-at: no name@N in its export table); the import library for\n"
      "; hosts that link against it keeps the symbols and imports the plain names (dlltool -k).\n",
      true);
}

std::string DefFile64() {
  return DefFile(
      "; The exports of Velto.Box.dll for 64-bit Windows, written by velto_interface from its\n"
      "; tables: do not edit. 64-bit Windows has one calling convention and plain symbols.\n",
      false);
}

}  // namespace velto
