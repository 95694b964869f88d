#pragma once

#include <rapidjson/document.h>

#include <string>
#include <vector>

namespace velto::test {

// The dotted paths of every member of a document (an array's elements share "[]"), as
// `velto write-issue --help` names them.
inline void CollectMemberPaths(const rapidjson::Value& value, const std::string& prefix,
                               std::vector<std::string>& paths) {
  if (value.IsArray()) {
    for (const rapidjson::Value& element : value.GetArray()) {
      CollectMemberPaths(element, prefix + "[].", paths);
    }
    return;
  }
  if (!value.IsObject()) return;
  for (const auto& member : value.GetObject()) {
    const std::string path = prefix + member.name.GetString();
    paths.push_back(member.value.IsArray() ? path + "[]" : path);
    CollectMemberPaths(member.value, member.value.IsArray() ? path : path + ".", paths);
  }
}

// The local files an issue document uploads.
inline std::vector<std::string> UploadedFiles(const std::string& document) {
  rapidjson::Document parsed;
  parsed.Parse(document.c_str());
  std::vector<std::string> names;
  if (!parsed.IsObject() || !parsed.HasMember("issue") || !parsed["issue"].HasMember("files")) {
    return names;
  }
  for (const rapidjson::Value& file : parsed["issue"]["files"].GetArray()) {
    names.push_back(file["fileName"].GetString());
  }
  return names;
}

}  // namespace velto::test
