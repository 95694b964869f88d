#pragma once

#include <array>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "velto/bstr.h"
#include "velto/operation.h"
#include "velto/pass_through_catalog.h"
#include "velto_box.h"

namespace velto {

// A JSON parameter as the server gets it: parsed as one JSON object ("Type mismatch" for
// anything else) and written out again, indented with CR LF line breaks.
std::u16string RewrittenJsonParameter(std::u16string_view text);

// The common shape of a pass-through export: the session prologue, then inside the result
// envelope the texts converted, a JSON parameter written out again, and the method called;
// "data" is the method's text, or empty for a method that returns none.
template <PassThroughBody body, typename Method, typename... Texts>
void RunPassThroughExport(BSTR* result, Method method, Texts... texts) noexcept {
  RunOperation(result, [&] {
    std::array<std::u16string, sizeof...(Texts)> arguments{FromBstr(texts)...};
    if constexpr (body == PassThroughBody::JsonBody) {
      arguments.back() = RewrittenJsonParameter(arguments.back());
    }
    if constexpr (std::is_void_v<decltype(std::apply(method, arguments))>) {
      std::apply(method, arguments);
      return std::u16string();
    } else {
      return std::apply(method, arguments);
    }
  });
}

#define VELTO_BSTR_PARAMETER_(context, index, count, parameter) BSTR parameter

// The export of a row of the table that hands back an envelope, inside extern "C".
#define VELTO_DEFINE_PASS_THROUGH_EXPORT(Class, Name, Verb, Path, Body, ResultKind, ...)         \
  VELTO_API void STDCALL Name(VELTO_PP_EACH(VELTO_BSTR_PARAMETER_, , __VA_ARGS__) __VA_OPT__(, ) \
                                  BSTR* Result) {                                                \
    ::velto::RunPassThroughExport<::velto::PassThroughBody::Body>(                               \
        Result, &::velto::Class::Name __VA_OPT__(, ) __VA_ARGS__);                               \
  }

}  // namespace velto
