#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "velto/pass_through_operations.h"
#include "velto/preprocessor_lists.h"

namespace velto {

// The table of pass_through_operations.h as data, for code that goes through the operations
// at run time: the command line's "call", the writer of the interface files, the tests.
// Header only; it needs nothing of the library.

enum class PassThroughVerb : uint8_t { Get, Post, Put, Delete };
enum class PassThroughBody : uint8_t { NoBody, JsonBody, FormBody };
enum class PassThroughResult : uint8_t { ValueText, NumberText, Nothing, IntoStream };

inline constexpr size_t kMaxPassThroughParameters = 6;

struct PassThroughOperation {
  std::string_view name;
  PassThroughVerb verb;
  std::string_view path_format;
  PassThroughBody body;
  PassThroughResult result;
  std::array<std::string_view, kMaxPassThroughParameters> parameter_names;
  size_t parameter_count;

  constexpr std::span<const std::string_view> Parameters() const {
    return {parameter_names.data(), parameter_count};
  }
  // The export hands back a result envelope.
  constexpr bool ReturnsText() const { return result != PassThroughResult::IntoStream; }
  // The last parameter is the host's stream (IStream*), not a text.
  constexpr bool TakesStream() const { return result == PassThroughResult::IntoStream; }
  // The last parameter is a JSON object that the export writes out again.
  constexpr bool HasJsonParameter() const { return body == PassThroughBody::JsonBody; }
};

#define VELTO_PASS_THROUGH_NAME_(context, index, count, parameter) #parameter
#define VELTO_PASS_THROUGH_ROW_(Class, Name, Verb, Path, Body, Result, ...)      \
  PassThroughOperation{#Name,                                                    \
                       PassThroughVerb::Verb,                                    \
                       Path,                                                     \
                       PassThroughBody::Body,                                    \
                       PassThroughResult::Result,                                \
                       {VELTO_PP_EACH(VELTO_PASS_THROUGH_NAME_, , __VA_ARGS__)}, \
                       VELTO_PP_COUNT(__VA_ARGS__)},
#define VELTO_PASS_THROUGH_ID_(Class, Name, ...) Name,

// Every row, in the order of the exports.
inline constexpr PassThroughOperation kPassThroughOperations[] = {
    VELTO_PASS_THROUGH_ROWS(VELTO_PASS_THROUGH_ROW_)};

// A row by its name.
enum class PassThroughId : uint8_t { VELTO_PASS_THROUGH_ROWS(VELTO_PASS_THROUGH_ID_) };

constexpr const PassThroughOperation& PassThroughOperationOf(PassThroughId id) {
  return kPassThroughOperations[static_cast<size_t>(id)];
}

// The values a path takes: its "%s" and "%q"; npos when a "%" starts anything else.
constexpr size_t PathPlaceholderCount(std::string_view path) {
  size_t count = 0;
  for (size_t at = path.find('%'); at != std::string_view::npos; at = path.find('%', at + 2)) {
    const std::string_view slot = path.substr(at, 2);
    if (slot != "%s" && slot != "%q") return std::string_view::npos;
    ++count;
  }
  return count;
}

// The leading parameters fill the path, one for each placeholder; those that follow are the
// body: none but the host's stream of IntoStream, the last one for JsonBody, at least one
// for a form.
constexpr bool PathTakesItsParameters(const PassThroughOperation& operation) {
  const size_t in_path = PathPlaceholderCount(operation.path_format);
  if (in_path == std::string_view::npos) return false;
  if (operation.body == PassThroughBody::FormBody) return in_path < operation.parameter_count;
  const size_t in_body = operation.HasJsonParameter() || operation.TakesStream() ? 1 : 0;
  return in_path + in_body == operation.parameter_count;
}

#define VELTO_PASS_THROUGH_CHECK_(Class, Name, ...)                                  \
  static_assert(PathTakesItsParameters(PassThroughOperationOf(PassThroughId::Name)), \
                #Name ": the path's placeholders do not match the parameters");
VELTO_PASS_THROUGH_ROWS(VELTO_PASS_THROUGH_CHECK_)

#undef VELTO_PASS_THROUGH_CHECK_
#undef VELTO_PASS_THROUGH_ID_
#undef VELTO_PASS_THROUGH_ROW_
#undef VELTO_PASS_THROUGH_NAME_

}  // namespace velto
