#include <rapidjson/document.h>

#include <charconv>

#include "crud.h"
#include "json_body.h"
#include "json_limits.h"
#include "kinds.h"
#include "routes.h"

namespace velto::server {
namespace {

struct Answer {
  std::string tag_id;
  std::string value;
};

std::string TextOf(const rapidjson::Value& value) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  value.Accept(writer);
  return buffer.GetString();
}

// A survey's "values" holds its answers as JSON text: an object of tag id -> answer, or an
// array of {"tagId", "value"} objects. Anything else holds no answers. The text is read without
// recursion and only when it nests no deeper than the limit, so that walking it here is safe
// whatever was stored before that limit existed.
std::vector<Answer> AnswersOf(const std::string& values) {
  rapidjson::Document document;
  bool parsed = false;
  const auto parse = [&](rapidjson::Document& handler) {
    parsed = ParseJson(values, handler).empty();
    return parsed;
  };
  document.Populate(parse);
  std::vector<Answer> answers;
  if (!parsed) return answers;
  if (document.IsObject()) {
    for (const auto& member : document.GetObject()) {
      answers.push_back({TextOf(member.name), TextOf(member.value)});
    }
  } else if (document.IsArray()) {
    for (const auto& element : document.GetArray()) {
      if (!element.IsObject() || !element.HasMember("tagId")) continue;
      const auto value = element.FindMember("value");
      answers.push_back({TextOf(element["tagId"]),
                         value == element.MemberEnd() ? std::string() : TextOf(value->value)});
    }
  }
  return answers;
}

// Replies with the survey's answers as {"surveyId", "tagId", "value"} objects; when
// `only_complete`, only a survey whose "state" is "complete" has any.
void ReplyAnswers(Call& call, Services& s, bool only_complete) {
  auto lock = s.db.Lock();
  const Fields survey = RecordTable(s.db, kinds::kSurvey).Get({{"id", call.Arg(0)}});
  std::vector<Answer> answers;
  if (!only_complete || survey.at("state") == "complete") answers = AnswersOf(survey.at("values"));
  Reply(call, [&](JsonWriter& writer) {
    writer.StartArray();
    for (const Answer& answer : answers) {
      writer.StartObject();
      writer.Key("surveyId");
      WriteText(writer, survey.at("id"));
      writer.Key("tagId");
      WriteText(writer, answer.tag_id);
      writer.Key("value");
      WriteText(writer, answer.value);
      writer.EndObject();
    }
    writer.EndArray();
  });
}

// What a survey body may hold: "order" a whole number, "values" JSON that can be read back.
Fields SurveyChanges(const Fields& body) {
  Fields survey = Pick(body, kinds::kSurvey);
  if (const auto found = survey.find("order"); found != survey.end() && !found->second.empty()) {
    const std::string& order = found->second;
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(order.data(), order.data() + order.size(), number);
    if (error != std::errc() || end != order.data() + order.size()) {
      throw ReplyError(ReplyCode::kBadRequest, "Bad request: \"order\" is not an integer");
    }
  }
  if (const auto values = survey.find("values");
      values != survey.end() && NestsTooDeep(values->second)) {
    throw ReplyError(ReplyCode::kBadRequest, "Bad request: \"values\" nests too deep");
  }
  return survey;
}

}  // namespace

void AddSurveyRoutes(Router& router, Services& s) {
  router.Add("GET", "/surveys/{}", [&s](Call& call) {
    ReplyList(call, s, kinds::kSurvey, {{{"issueId", call.Arg(0)}}}, &kinds::kIssue,
              {{"id", call.Arg(0)}});
  });
  router.Add("POST", "/surveys/{}", [&s](Call& call) {
    const Fields body = ParseObject(call.body);
    Fields survey = SurveyChanges(body);
    survey["id"] = IdOrNew(body, "id");
    {
      auto lock = s.db.Lock();
      const Fields issue = RecordTable(s.db, kinds::kIssue).Get({{"id", call.Arg(0)}});
      survey["siteId"] = issue.at("siteId");
      survey["personId"] = issue.at("personId");
      survey["issueId"] = issue.at("id");
    }
    AddRecord(call, s, kinds::kSurvey, survey, {{"id", survey["id"]}}, &kinds::kIssue,
              {{"id", call.Arg(0)}});
  });
  router.Add("GET", "/survey/{}", [&s](Call& call) {
    ReplyRecord(call, s, kinds::kSurvey, {{"id", call.Arg(0)}});
  });
  router.Add("PUT", "/survey/{}", [&s](Call& call) {
    ModifyRecord(call, s, kinds::kSurvey, {{"id", call.Arg(0)}},
                 SurveyChanges(ParseObject(call.body)));
  });
  router.Add("DELETE", "/survey/{}", [&s](Call& call) {
    RemoveRecord(call, s, kinds::kSurvey, {{"id", call.Arg(0)}});
  });
  router.Add("GET", "/survey/{}/values", [&s](Call& call) { ReplyAnswers(call, s, false); });
  router.Add("GET", "/survey/{}/values/complete",
             [&s](Call& call) { ReplyAnswers(call, s, true); });
}

}  // namespace velto::server
