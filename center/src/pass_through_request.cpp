#include <stdexcept>
#include <utility>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/resource_path.h"
#include "velto/server_reply.h"

namespace velto {
namespace {

// The JSON body is the last parameter; the export has already written it out again.
std::u16string_view JsonBody(const PassThroughOperation& operation,
                             std::initializer_list<std::u16string_view> parameters) {
  if (!operation.HasJsonParameter() || parameters.size() == 0) {
    throw std::logic_error("a pass-through request with a body other than JSON");
  }
  return *(parameters.end() - 1);
}

std::u16string Send(const PassThroughOperation& operation, std::u16string_view path,
                    std::initializer_list<std::u16string_view> parameters) {
  switch (operation.verb) {
    case PassThroughVerb::Get:
      return TVeltoDAO::DoGet(path);
    case PassThroughVerb::Post:
      return TVeltoDAO::DoPost(path, JsonBody(operation, parameters));
    case PassThroughVerb::Put:
      return TVeltoDAO::DoPut(path, JsonBody(operation, parameters));
    case PassThroughVerb::Delete:
      return TVeltoDAO::DoDelete(path);
  }
  throw std::logic_error("a pass-through operation of no known verb");
}

// What the operation's result reads from "value": a missing "value" reads as empty text.
std::u16string ResultOf(PassThroughResult result, const TJSONBox& value) {
  switch (result) {
    case PassThroughResult::ValueText:
      return value.Stringify();
    case PassThroughResult::NumberText:
      return value.AsString();
    default:
      return {};
  }
}

}  // namespace

std::u16string PassThroughPath(PassThroughId id,
                               std::initializer_list<std::u16string_view> parameters) {
  const std::string_view format = PassThroughOperationOf(id).path_format;
  return ResourcePath(std::u16string(format.begin(), format.end()), parameters);
}

std::u16string RunPassThrough(PassThroughId id,
                              std::initializer_list<std::u16string_view> parameters) {
  const PassThroughOperation& operation = PassThroughOperationOf(id);
  return TakeReplyValue(
      Send(operation, PassThroughPath(id, parameters), parameters),
      [&operation](const TJSONBox& value) { return ResultOf(operation.result, value); });
}

std::u16string PassThroughValueText(std::u16string reply) {
  return TakeReplyValue(std::move(reply), [](const TJSONBox& value) { return value.Stringify(); });
}

}  // namespace velto
