#include "issue_document.h"

#include <rapidjson/document.h>

#include <span>
#include <stdexcept>

#include "readable_file.h"

namespace velto::cli {
namespace {

enum class Kind { kText, kObject, kObjectList };
enum class Need { kAlways, kNewPerson };

// One member the export reads; `members` are those of an object, or of each element of a list.
struct Member {
  std::string_view name;
  Kind kind;
  Need need;
  std::string_view meaning;
  std::span<const Member> members = {};
  bool local_file = false;  // the path of a file velto's machine must be able to read
};

constexpr Member kFileMembers[] = {
    {"fileName",
     Kind::kText,
     Need::kAlways,
     "the local file to upload; a relative path starts at the working folder",
     {},
     true},
    {"hlscName", Kind::kText, Need::kAlways,
     "the file's hlsc name; \"\" lets the billing entry name it by its file name"},
    {"hlscDate", Kind::kText, Need::kAlways, "the file's hlsc date"},
};

constexpr Member kIssueMembers[] = {
    {"name", Kind::kText, Need::kAlways,
     "the issue's name; the person's issue of this name is reused, else one is made"},
    {"endTime", Kind::kText, Need::kAlways,
     "the end of its validity; an existing issue's end is only ever moved later"},
    {"files", Kind::kObjectList, Need::kAlways, "the files to upload, in order; may be empty",
     kFileMembers},
};

constexpr Member kPortalMembers[] = {
    {"name", Kind::kText, Need::kAlways,
     "the portal's name; the person's portal of this name is reused, else one is made"},
    {"endTime", Kind::kText, Need::kAlways, "the end of its validity, moved as the issue's"},
};

constexpr Member kDocumentMembers[] = {
    {"id", Kind::kText, Need::kAlways, "the person's id at the site of --site"},
    {"name", Kind::kText, Need::kNewPerson, "the person's name"},
    {"gender", Kind::kText, Need::kNewPerson, "the person's gender"},
    {"birth", Kind::kText, Need::kNewPerson, "the person's date of birth"},
    {"phone", Kind::kText, Need::kNewPerson, "the person's phone number"},
    {"issue", Kind::kObject, Need::kAlways, "the issue to write", kIssueMembers},
    {"portal", Kind::kObject, Need::kAlways, "the person's portal; velto prints its gate address",
     kPortalMembers},
};

// The same values scripts/demo writes, with one file in the working folder.
constexpr char kExample[] = R"({
  "id": "P-0001",
  "name": "Hong Gildong",
  "gender": "F",
  "birth": "1984-03-15",
  "phone": "010-1234-5678",
  "issue": {
    "name": "Blood test 2024-05",
    "endTime": "2099-12-31",
    "files": [
      {"fileName": "blood-test.txt", "hlscName": "blood test", "hlscDate": "2024-05-02"}
    ]
  },
  "portal": {"name": "results", "endTime": "2099-12-31"}
}
)";

std::string KindName(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return "text";
    case Kind::kObject:
      return "an object";
    case Kind::kObjectList:
      return "an array of objects";
  }
  return {};
}

std::string ValueKindName(const rapidjson::Value& value) {
  if (value.IsNull()) return "null";
  if (value.IsBool()) return "a boolean";
  if (value.IsObject()) return "an object";
  if (value.IsArray()) return "an array";
  if (value.IsNumber()) return "a number";
  return "a string";
}

// The export takes a number where it reads text, as the number's text.
bool HasKind(const rapidjson::Value& value, Kind kind) {
  switch (kind) {
    case Kind::kText:
      return value.IsString() || value.IsNumber();
    case Kind::kObject:
      return value.IsObject();
    case Kind::kObjectList:
      return value.IsArray();
  }
  return false;
}

void ListMembers(std::span<const Member> members, const std::string& prefix, std::string& out) {
  constexpr size_t kPathWidth = 26;
  for (const Member& member : members) {
    std::string path = prefix + std::string(member.name);
    if (member.kind == Kind::kObjectList) path += "[]";
    std::string line = "  " + path;
    line.append(line.size() < kPathWidth ? kPathWidth - line.size() : 1, ' ');
    out += line + KindName(member.kind) + ", " +
           (member.need == Need::kAlways ? "required" : "required for a new person") + "\n      " +
           std::string(member.meaning) + "\n";
    ListMembers(member.members, path + ".", out);
  }
}

[[noreturn]] void Refuse(const std::string& path, const std::string& problem) {
  throw std::invalid_argument("member \"" + path + "\" " + problem +
                              " (velto write-issue --help lists the members)");
}

void CheckFile(const std::string& path, const rapidjson::Value& value) {
  const std::string name(value.GetString(), value.GetStringLength());
  if (!IsReadableFile(name)) Refuse(path, "names a file that cannot be read: " + name);
}

void CheckObject(const rapidjson::Value& object, std::span<const Member> members,
                 const std::string& prefix, std::string& warnings);

void CheckMember(const rapidjson::Value& value, const Member& member, const std::string& path,
                 std::string& warnings) {
  if (!HasKind(value, member.kind)) {
    Refuse(path, "must be " + KindName(member.kind) + ", not " + ValueKindName(value));
  }
  if (member.local_file && value.IsString()) CheckFile(path, value);
  if (member.kind == Kind::kObject) CheckObject(value, member.members, path + ".", warnings);
  if (member.kind != Kind::kObjectList) return;
  for (rapidjson::SizeType index = 0; index < value.Size(); ++index) {
    const std::string element = path + "[" + std::to_string(index) + "]";
    if (!value[index].IsObject())
      Refuse(element, "must be an object, not " + ValueKindName(value[index]));
    CheckObject(value[index], member.members, element + ".", warnings);
  }
}

// The export ignores members it does not read: a misspelt one would be lost without a word.
void WarnUnread(const rapidjson::Value& object, std::span<const Member> members,
                const std::string& prefix, std::string& warnings) {
  std::string known;
  for (const Member& member : members)
    known += (known.empty() ? "" : ", ") + std::string(member.name);
  for (const auto& entry : object.GetObject()) {
    const std::string_view name(entry.name.GetString(), entry.name.GetStringLength());
    bool read = false;
    for (const Member& member : members) read = read || member.name == name;
    if (!read) {
      warnings += "velto: member \"" + prefix + std::string(name) +
                  "\" is not read by write-issue and is ignored (read here: " + known + ")\n";
    }
  }
}

void CheckObject(const rapidjson::Value& object, std::span<const Member> members,
                 const std::string& prefix, std::string& warnings) {
  for (const Member& member : members) {
    const std::string path = prefix + std::string(member.name);
    const auto found = object.FindMember(
        rapidjson::Value(rapidjson::StringRef(member.name.data(), member.name.size())));
    if (found != object.MemberEnd()) {
      CheckMember(found->value, member, path, warnings);
    } else if (member.need == Need::kAlways) {
      Refuse(path, "is missing");
    }
  }
  WarnUnread(object, members, prefix, warnings);
}

}  // namespace

std::string IssueDocumentExample() {
  return kExample;
}

std::string IssueDocumentMembers() {
  std::string out = "The document is a JSON object; text may also be given as a number. Members:\n";
  ListMembers(kDocumentMembers, "", out);
  out +=
      "A member \"required for a new person\" is read only when the server has no person\n"
      "of that id. A required member missing or of the wrong kind, or a file that cannot be\n"
      "read, is refused before anything is sent (exit 2); a member the export does not read\n"
      "is named in a warning. velto write-issue --example prints a complete document.\n";
  return out;
}

std::string CheckIssueDocument(std::string_view document) {
  rapidjson::Document parsed;
  parsed.Parse(document.data(), document.size());
  if (parsed.HasParseError() || !parsed.IsObject()) return {};
  std::string warnings;
  CheckObject(parsed, kDocumentMembers, "", warnings);
  return warnings;
}

}  // namespace velto::cli
