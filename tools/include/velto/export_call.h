#pragma once

// Calls an export through its address, as a host that finds the exports by name does (the
// command line, the tests): the text-returning exports of the operation tables, whose
// parameters are texts.

#include <cstddef>
#include <span>
#include <stdexcept>
#include <utility>

#include "velto/pass_through_catalog.h"
#include "velto_box.h"

namespace velto {

// An export's address as GetProcAddress or dlsym hands it over.
using ExportAddress = void (*)();

namespace export_call {

template <size_t>
using Text = BSTR;

template <size_t... Index>
void CallWith(ExportAddress address, [[maybe_unused]] std::span<const BSTR> texts, BSTR* result,
              std::index_sequence<Index...>) {
  using Function = void(STDCALL*)(Text<Index>..., BSTR*);
  reinterpret_cast<Function>(address)(texts[Index]..., result);
}

template <size_t... Count>
void CallWithCount(ExportAddress address, std::span<const BSTR> texts, BSTR* result,
                   std::index_sequence<Count...>) {
  const bool called =
      ((texts.size() == Count &&
        (CallWith(address, texts, result, std::make_index_sequence<Count>()), true)) ||
       ...);
  if (!called) throw std::invalid_argument("too many texts for an export");
}

}  // namespace export_call

// Calls `address` as void STDCALL Name(BSTR..., BSTR* Result) with the texts in order.
inline void CallTextExport(ExportAddress address, std::span<const BSTR> texts, BSTR* result) {
  export_call::CallWithCount(address, texts, result,
                             std::make_index_sequence<kMaxPassThroughParameters + 1>());
}

}  // namespace velto
