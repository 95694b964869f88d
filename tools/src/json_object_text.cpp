#include "json_object_text.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace velto::cli {

std::string JsonObjectText(const std::vector<std::pair<const char*, std::string>>& members) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  for (const auto& [name, value] : members) {
    if (value.empty()) continue;
    writer.Key(name);
    writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace velto::cli
