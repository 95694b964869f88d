#pragma once

#include <string>
#include <string_view>

namespace velto {

// The files of the exported interface that come from the tables of exports
// (pass_through_operations.h, export_table.h): the declarations in velto_box.h and the
// .def files of both DLLs.

// The declarations of velto_box.h between "BEGIN <block>" and "END <block>".
inline constexpr std::string_view kCompositeBlock = "composite exports";
inline constexpr std::string_view kPassThroughBlock = "pass-through exports";
std::string CompositeDeclarations();
std::string PassThroughDeclarations();

// `header` with the lines between the markers of `block` replaced by `declarations`;
// throws std::runtime_error when the markers are missing.
std::string WithBlock(const std::string& header, std::string_view block,
                      const std::string& declarations);

// The .def file of the 32-bit DLL (stdcall symbols: name@bytes) and of the 64-bit one.
std::string DefFile32();
std::string DefFile64();

}  // namespace velto
