#include "velto/message_sending.h"

#include "velto/billing_dao.h"
#include "velto/global.h"
#include "velto/json_box.h"
#include "velto/message_dao.h"

namespace velto {
namespace {

struct MessageMember {
  std::u16string_view name;
  std::u16string TVeltoMessage::*field;
  bool from_host;  // the site and the message id never come from the input
};

// In the order of the message document.
constexpr MessageMember kMembers[] = {
    {u"siteId", &TVeltoMessage::SiteId, false},
    {u"personId", &TVeltoMessage::PersonId, true},
    {u"cmid", &TVeltoMessage::Cmid, false},
    {u"msgType", &TVeltoMessage::MsgType, true},
    {u"requestTime", &TVeltoMessage::RequestTime, true},
    {u"sendTime", &TVeltoMessage::SendTime, true},
    {u"destPhone", &TVeltoMessage::DestPhone, true},
    {u"sendPhone", &TVeltoMessage::SendPhone, true},
    {u"msgBody", &TVeltoMessage::MsgBody, true},
    {u"templateCode", &TVeltoMessage::TemplateCode, true},
    {u"senderKey", &TVeltoMessage::SenderKey, true},
    {u"nationCode", &TVeltoMessage::NationCode, true},
    {u"reType", &TVeltoMessage::ReType, true},
    {u"reBody", &TVeltoMessage::ReBody, true},
};

TVeltoMessage MessageFromInput(std::u16string_view data) {
  TJSONBox request = TJSONBox::Create(JSONObject(data));
  JSONRootGuard guard(request);
  TVeltoMessage message;
  message.SiteId = Global().SiteId;
  for (const MessageMember& member : kMembers) {
    if (member.from_host) message.*member.field = request[member.name].AsString();
  }
  return message;
}

void BookMessage(const TVeltoMessage& message) {
  TVeltoBilling billing;
  billing.ClassCd = u"message";
  billing.SiteId = message.SiteId;
  billing.PersonId = message.PersonId;
  billing.Id = message.Cmid;
  billing.Name = message.TemplateCode;
  billing.Contents = message.MsgBody;
  TVeltoBillingDAO::Add(billing);
}

std::u16string MessageDocument(const TVeltoMessage& message) {
  TJSONBox document = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(document);
  for (const MessageMember& member : kMembers) {
    TJSONStream(document) <= JSONPair(std::u16string(member.name), message.*member.field);
  }
  return document.Stringify();
}

}  // namespace

std::u16string SendPersonMessage(std::u16string_view data) {
  const TVeltoMessage sent = TVeltoMessageDAO::Add(MessageFromInput(data));
  BookMessage(sent);
  return MessageDocument(sent);
}

}  // namespace velto
