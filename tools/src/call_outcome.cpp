#include "call_outcome.h"

#include <rapidjson/document.h>

#include "indented_json.h"
#include "printable_text.h"

namespace velto::cli {
namespace {

std::string Line(std::string_view text) {
  return std::string(text) + "\n";
}

std::string ErrorLine(std::string_view message) {
  return Line(std::string("velto: ").append(PrintableText(message)));
}

// The library's texts break lines with CR LF; a terminal wants the line feed alone.
std::string WithLineFeeds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' || at + 1 == text.size() || text[at + 1] != '\n') lines += text[at];
  }
  return lines;
}

// The member `name` of a parsed envelope as text; nothing when absent or not a string.
std::optional<std::string> Member(const rapidjson::Document& envelope, const char* name) {
  if (!envelope.IsObject()) return std::nullopt;
  const auto member = envelope.FindMember(name);
  if (member == envelope.MemberEnd() || !member->value.IsString()) return std::nullopt;
  return std::string(member->value.GetString(), member->value.GetStringLength());
}

Presentation PresentEnvelope(const std::string& text, bool as_returned) {
  rapidjson::Document envelope;
  envelope.Parse(text.data(), text.size());
  const std::optional<std::string> code = Member(envelope, "code");
  const std::string data = Member(envelope, "data").value_or("");
  const ExitCode status = code == "FAIL" ? kFailed : kSuccess;
  if (as_returned || (code != "SUCCESS" && code != "FAIL")) return {Line(text), "", status};
  if (status == kFailed) return {"", ErrorLine(data), status};
  if (data.empty()) return {};
  if (const std::optional<std::string> indented = IndentedJson(data)) {
    return {Line(*indented), "", kSuccess};
  }
  return {Line(PrintableText(WithLineFeeds(data))), "", kSuccess};
}

}  // namespace

Presentation Present(const CallOutcome& outcome, ExportResult result, bool as_returned) {
  if (outcome.left_export) return {"", ErrorLine(outcome.text), kLeftExport};
  switch (result) {
    case ExportResult::Envelope:
      return PresentEnvelope(outcome.text, as_returned);
    case ExportResult::PlainText:
      return {Line(PrintableText(outcome.text)), "", kSuccess};
    case ExportResult::IntoFile:
      break;
  }
  return {};
}

}  // namespace velto::cli
