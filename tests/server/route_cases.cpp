#include "route_cases.h"

#include <string_view>
#include <utility>
#include <vector>

namespace velto::test {
namespace {

const RouteCase kAllRoutes[] = {
    {"GET", "/users"},
    {"POST", "/users", Body::kJson, {{"id", "new-user"}, {"password", "pw"}, {"name", "n"}}},
    {"GET", "/user/{user}"},
    {"PUT", "/user/{user}", Body::kJson, {{"id", "{user}"}, {"password", ""}, {"name", "m"}}},
    {"DELETE", "/user/{user}"},
    {"GET", "/user-cards/{user}"},
    {"POST", "/user-cards/{user}", Body::kJson, {{"id", ""}, {"userId", "{user}"}}},
    {"DELETE", "/user-card/{card}"},
    {"GET", "/user-card/{card}/number"},
    {"GET", "/sites"},
    {"POST", "/sites", Body::kJson, {{"id", "new-site"}, {"name", "n"}}},
    {"GET", "/site/{site}"},
    {"PUT", "/site/{site}", Body::kJson, {{"id", "{site}"}, {"name", "renamed"}}},
    {"DELETE", "/site/{site}"},
    {"POST", "/site/logo", Body::kLogoFormWithId},
    {"POST", "/site/{site}/logo", Body::kLogoForm},
    {"GET", "/persons/{site}?name="},
    {"POST", "/persons/{site}", Body::kJson, {{"siteId", "{site}"}, {"id", "p9"}, {"name", "n"}}},
    {"GET", "/person/{site}/{person}"},
    {"PUT", "/person/{site}/{person}", Body::kJson, {{"id", "{person}"}, {"phone", "010"}}},
    {"DELETE", "/person/{site}/{person}"},
    {"GET", "/persons/{site}/enter?personId={person}&searchFrom=&searchTo="},
    {"POST", "/consent/{site}/{person2}", Body::kJson, {{"signature", "s"}}},
    {"GET", "/consent/{site}/{person}"},
    {"PUT", "/consent/{site}/{person}", Body::kJson, {{"signature", "t"}}},
    {"DELETE", "/consent/{site}/{person}"},
    {"GET", "/issues/{site}/{person}?name="},
    {"POST", "/issues/{site}/{person}", Body::kJson, {{"id", ""}, {"name", "n"}}},
    {"GET", "/issue/{issue}"},
    {"PUT", "/issue/{issue}", Body::kJson, {{"id", "{issue}"}, {"endTime", "2100-01-01"}}},
    {"DELETE", "/issue/{issue}"},
    {"GET", "/files/{issue}?name="},
    {"POST", "/files/{issue}", Body::kUpload},
    {"GET", "/file/{file}"},
    {"PUT", "/file/{file}", Body::kJson, {{"hlscName", "h"}}},
    {"DELETE", "/file/{file}"},
    {"GET", "/file/{file}/data", Body::kNone, {}, true},
    {"GET", "/files/{site}/log?personId=&fileId=&action=&searchFrom=&searchTo="},
    {"GET", "/portals/{site}/{person}?name="},
    {"POST", "/portals/{site}/{person}", Body::kJson, {{"id", ""}, {"name", "n"}}},
    {"GET", "/portal/{portal}"},
    {"PUT", "/portal/{portal}", Body::kJson, {{"endTime", "2100-01-01"}}},
    {"DELETE", "/portal/{portal}"},
    {"GET", "/portal/{portal}/gate", Body::kNone, {}, true},
    {"POST", "/message/{site}", Body::kJson, {{"personId", "{person}"}, {"msgBody", "hi"}}},
    {"GET", "/messages/{site}?personId=&searchFrom=&searchTo="},
    {"POST", "/billing/{site}/{person}", Body::kJson, {{"classCd", "result"}, {"id", "x"}}},
    {"POST", "/billing/{site}", Body::kJson, {{"classCd", "message"}, {"personId", "{person}"}}},
    {"GET", "/billing/{site}?personId=&classCd=&searchFrom=&searchTo="},
    {"GET", "/surveys/{issue}"},
    {"POST", "/surveys/{issue}", Body::kJson, {{"name", "n"}, {"order", "2"}}},
    {"GET", "/survey/{survey}"},
    {"PUT", "/survey/{survey}", Body::kJson, {{"state", "complete"}}},
    {"DELETE", "/survey/{survey}"},
    {"GET", "/survey/{survey}/values"},
    {"GET", "/survey/{survey}/values/complete"},
};

}  // namespace

const std::span<const RouteCase> kRoutes = kAllRoutes;

std::ostream& operator<<(std::ostream& out, const RouteCase& route) {
  return out << route.verb << " " << route.path;
}

std::string Fill(std::string text, const World& w, bool missing) {
  const std::pair<const char*, const std::string*> names[] = {
      {"{site}", &w.site},     {"{person2}", &w.person2}, {"{person}", &w.person},
      {"{issue}", &w.issue},   {"{file}", &w.file},       {"{portal}", &w.portal},
      {"{survey}", &w.survey}, {"{user}", &w.user},       {"{card}", &w.card}};
  for (const auto& [name, value] : names) {
    const std::string replacement = missing ? "no-such-record" : *value;
    for (size_t at = text.find(name); at != std::string::npos;
         at = text.find(name, at + replacement.size())) {
      text.replace(at, std::string_view(name).size(), replacement);
    }
  }
  return text;
}

Reply Send(Api& api, const RouteCase& route, const World& w, bool missing) {
  const std::string path = Fill(route.path, w, missing);
  const std::string verb = route.verb;
  if (verb == "GET") return api.Get(path);
  if (verb == "DELETE") return api.Delete(path);
  Members json;
  for (const auto& [name, value] : route.json) json.emplace_back(name, Fill(value, w, missing));
  const std::vector<FormPart> logo = LogoParts();
  std::vector<FormPart> logo_with_id = {{FormPart::kText, "id", Fill("{site}", w, missing), ""}};
  logo_with_id.insert(logo_with_id.end(), logo.begin(), logo.end());
  switch (route.body) {
    case Body::kUpload:
      return api.PostForm(path, UploadParts("bytes", "a.txt", "n", "d"));
    case Body::kLogoForm:
      return api.PostForm(path, logo);
    case Body::kLogoFormWithId:
      return api.PostForm(path, logo_with_id);
    default:
      return verb == "PUT" ? api.Put(path, LibraryJson(json)) : api.Post(path, LibraryJson(json));
  }
}

}  // namespace velto::test
