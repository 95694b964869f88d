#include "velto/records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace velto {
namespace {

// One JSON member of a record: the name each direction uses and the field it carries. Every
// field is text except a file's size, which travels as a JSON number.
template <class Record>
struct Member {
  std::u16string_view read_name;
  std::u16string_view write_name;  // empty: the client only reads the member
  std::variant<std::u16string Record::*, int64_t Record::*> field;
};

template <class Record, class Field>
constexpr Member<Record> Both(std::u16string_view name, Field Record::*field) {
  return {name, name, field};
}

template <class Record, class Field>
constexpr Member<Record> ReadOnly(std::u16string_view name, Field Record::*field) {
  return {name, u"", field};
}

// Wrongly typed or missing members fall back on the box's defaults (empty text, 0).
void ReadField(const TJSONBox& member, std::u16string& field) {
  field = member.AsString();
}
void ReadField(const TJSONBox& member, int64_t& field) {
  field = member.AsInteger();
}

template <class Record, std::size_t N>
Record Read(const TJSONBox& value, const Member<Record> (&members)[N]) {
  if (value.Kind() != jbkObject) throw ETypeMismatch();
  Record record;
  for (const Member<Record>& member : members) {
    std::visit([&](auto field) { ReadField(value[member.read_name], record.*field); },
               member.field);
  }
  return record;
}

template <class Record, std::size_t N>
TJSONBox Write(const Record& record, const Member<Record> (&members)[N]) {
  TJSONBox box = TJSONBox::Create(JSONObject());
  try {
    for (const Member<Record>& member : members) {
      if (member.write_name.empty()) continue;
      std::visit([&](auto field) { box.Put(member.write_name, record.*field); }, member.field);
    }
  } catch (...) {
    box.Free();
    throw;
  }
  return box;
}

// The tables list the members in the order the server expects them in a request body.

constexpr Member<TVeltoUser> kUser[] = {
    Both(u"id", &TVeltoUser::Id),
    Both(u"password", &TVeltoUser::Password),
    Both(u"name", &TVeltoUser::Name),
    Both(u"roles", &TVeltoUser::Roles),
};

constexpr Member<TVeltoUserCard> kUserCard[] = {
    Both(u"id", &TVeltoUserCard::Id),
    Both(u"userId", &TVeltoUserCard::UserId),
};

constexpr Member<TVeltoSite> kSite[] = {
    Both(u"id", &TVeltoSite::Id),
    Both(u"name", &TVeltoSite::Name),
    ReadOnly(u"fileId", &TVeltoSite::FileId),
};

constexpr Member<TVeltoPerson> kPerson[] = {
    Both(u"siteId", &TVeltoPerson::SiteId),
    Both(u"id", &TVeltoPerson::Id),
    Both(u"name", &TVeltoPerson::Name),
    Both(u"gender", &TVeltoPerson::Gender),
    Both(u"birth", &TVeltoPerson::Birth),
    Both(u"phone", &TVeltoPerson::Phone),
    Both(u"consentTime", &TVeltoPerson::ConsentTime),
};

constexpr Member<TVeltoIssue> kIssue[] = {
    Both(u"siteId", &TVeltoIssue::SiteId),   Both(u"personId", &TVeltoIssue::PersonId),
    Both(u"id", &TVeltoIssue::Id),           Both(u"name", &TVeltoIssue::Name),
    Both(u"endTime", &TVeltoIssue::EndTime),
};

constexpr Member<TVeltoFile> kFile[] = {
    Both(u"siteId", &TVeltoFile::SiteId),     Both(u"personId", &TVeltoFile::PersonId),
    Both(u"issueId", &TVeltoFile::IssueId),   Both(u"id", &TVeltoFile::Id),
    Both(u"path", &TVeltoFile::Path),         Both(u"hlscName", &TVeltoFile::HlscName),
    Both(u"hlscDate", &TVeltoFile::HlscDate), Both(u"fileName", &TVeltoFile::FileName),
    Both(u"fileSize", &TVeltoFile::FileSize),
};

constexpr Member<TVeltoPortal> kPortal[] = {
    Both(u"siteId", &TVeltoPortal::SiteId),   Both(u"personId", &TVeltoPortal::PersonId),
    Both(u"id", &TVeltoPortal::Id),           Both(u"name", &TVeltoPortal::Name),
    Both(u"endTime", &TVeltoPortal::EndTime),
};

constexpr Member<TVeltoMessage> kMessage[] = {
    Both(u"siteId", &TVeltoMessage::SiteId),
    Both(u"personId", &TVeltoMessage::PersonId),
    Both(u"cmid", &TVeltoMessage::Cmid),
    Both(u"msgType", &TVeltoMessage::MsgType),
    // Requests carry the misspelt name, replies the right one; the server knows each as it is.
    {u"requestTime", u"rquestTime", &TVeltoMessage::RequestTime},
    Both(u"sendTime", &TVeltoMessage::SendTime),
    Both(u"destPhone", &TVeltoMessage::DestPhone),
    Both(u"sendPhone", &TVeltoMessage::SendPhone),
    Both(u"msgBody", &TVeltoMessage::MsgBody),
    Both(u"templateCode", &TVeltoMessage::TemplateCode),
    Both(u"senderKey", &TVeltoMessage::SenderKey),
    Both(u"nationCode", &TVeltoMessage::NationCode),
    Both(u"reType", &TVeltoMessage::ReType),
    Both(u"reBody", &TVeltoMessage::ReBody),
};

constexpr Member<TVeltoBilling> kBilling[] = {
    Both(u"classCd", &TVeltoBilling::ClassCd),   Both(u"siteId", &TVeltoBilling::SiteId),
    Both(u"personId", &TVeltoBilling::PersonId), Both(u"id", &TVeltoBilling::Id),
    Both(u"name", &TVeltoBilling::Name),         Both(u"contents", &TVeltoBilling::Contents),
    Both(u"regTime", &TVeltoBilling::RegTime),   Both(u"billingDate", &TVeltoBilling::BillingDate),
};

}  // namespace

TVeltoUser ToUser(const TJSONBox& value) {
  return Read(value, kUser);
}
TVeltoUserCard ToUserCard(const TJSONBox& value) {
  return Read(value, kUserCard);
}
TVeltoSite ToSite(const TJSONBox& value) {
  return Read(value, kSite);
}
TVeltoPerson ToPerson(const TJSONBox& value) {
  return Read(value, kPerson);
}
TVeltoIssue ToIssue(const TJSONBox& value) {
  return Read(value, kIssue);
}
TVeltoFile ToFile(const TJSONBox& value) {
  return Read(value, kFile);
}
TVeltoPortal ToPortal(const TJSONBox& value) {
  return Read(value, kPortal);
}
TVeltoMessage ToMessage(const TJSONBox& value) {
  return Read(value, kMessage);
}
TVeltoBilling ToBilling(const TJSONBox& value) {
  return Read(value, kBilling);
}

TJSONBox ToJSONBox(const TVeltoUser& record) {
  return Write(record, kUser);
}
TJSONBox ToJSONBox(const TVeltoUserCard& record) {
  return Write(record, kUserCard);
}
TJSONBox ToJSONBox(const TVeltoSite& record) {
  return Write(record, kSite);
}
TJSONBox ToJSONBox(const TVeltoPerson& record) {
  return Write(record, kPerson);
}
TJSONBox ToJSONBox(const TVeltoIssue& record) {
  return Write(record, kIssue);
}
TJSONBox ToJSONBox(const TVeltoFile& record) {
  return Write(record, kFile);
}
TJSONBox ToJSONBox(const TVeltoPortal& record) {
  return Write(record, kPortal);
}
TJSONBox ToJSONBox(const TVeltoMessage& record) {
  return Write(record, kMessage);
}
TJSONBox ToJSONBox(const TVeltoBilling& record) {
  return Write(record, kBilling);
}

}  // namespace velto
