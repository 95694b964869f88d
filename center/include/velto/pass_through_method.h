#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "velto/pass_through_catalog.h"
#include "velto_box.h"

namespace velto {

// The pass-through methods: static methods of the resource access classes, declared in each
// class from the table (VELTO_PASS_THROUGH_METHODS_OF) and defined from it in
// pass_through_methods.cpp; only the form uploads and the download are written by hand.

// A value text or a number text; the _Delete methods and the download return nothing.
template <PassThroughResult result>
using PassThroughReturn = std::conditional_t<result == PassThroughResult::ValueText ||
                                                 result == PassThroughResult::NumberText,
                                             std::u16string, void>;

// Texts, but the download's last parameter, the host's stream.
template <PassThroughResult result, size_t index, size_t count>
using PassThroughParameter =
    std::conditional_t<result == PassThroughResult::IntoStream && index + 1 == count, IStream*,
                       std::u16string_view>;

#define VELTO_PASS_THROUGH_PARAMETER_(Result, index, count, parameter) \
  PassThroughParameter<PassThroughResult::Result, index, count> parameter
#define VELTO_PASS_THROUGH_PARAMETERS(Result, ...) \
  VELTO_PP_EACH(VELTO_PASS_THROUGH_PARAMETER_, Result, __VA_ARGS__)

#define VELTO_DECLARE_PASS_THROUGH_METHOD_(Class, Name, Verb, Path, Body, Result, ...) \
  static PassThroughReturn<PassThroughResult::Result> Name(                            \
      VELTO_PASS_THROUGH_PARAMETERS(Result, __VA_ARGS__));

// Inside the class body: declares the class's pass-through methods.
#define VELTO_PASS_THROUGH_METHODS_OF(Class)                        \
  VELTO_PASS_THROUGH_OF_##Class(VELTO_DECLARE_PASS_THROUGH_METHOD_, \
                                VELTO_DECLARE_PASS_THROUGH_METHOD_, \
                                VELTO_DECLARE_PASS_THROUGH_METHOD_)

// The path of an operation: its format filled with the leading parameters (ResourcePath).
std::u16string PassThroughPath(PassThroughId id,
                               std::initializer_list<std::u16string_view> parameters);

// The common shape of a method: one request through TVeltoDAO, the reply parsed into a box
// this call owns and checked, the result read from "value" (empty for Nothing), the box freed
// on every path. Nothing is caught.
std::u16string RunPassThrough(PassThroughId id,
                              std::initializer_list<std::u16string_view> parameters);

// A reply parsed as one JSON object and checked; its "value" as indented JSON text.
std::u16string PassThroughValueText(std::u16string reply);

}  // namespace velto
