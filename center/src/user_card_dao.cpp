#include "velto/user_card_dao.h"

#include "velto/gate_stamp.h"
#include "velto/resource_path.h"
#include "velto/server_reply.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string GatePath() {
  return u"/user-card/" + GateTimeStamp() + u"/gate";
}

}  // namespace

std::vector<TVeltoUserCard> TVeltoUserCardDAO::GetList(std::u16string_view user_id) {
  return GetValue(ResourcePath(u"/user-cards/%s", {user_id}), ListOf(ToUserCard));
}

TVeltoUserCard TVeltoUserCardDAO::Add(const TVeltoUserCard& card) {
  return PostRecord(ResourcePath(u"/user-cards/%s", {card.UserId}), card, ToUserCard);
}

void TVeltoUserCardDAO::Delete(const TVeltoUserCard& card) {
  DeleteResource(ResourcePath(u"/user-card/%s", {card.Id}));
}

std::u16string TVeltoUserCardDAO::GetNumber(const TVeltoUserCard& card) {
  return GetValue(ResourcePath(u"/user-card/%s/number", {card.Id}), ValueText);
}

bool TVeltoUserCardDAO::Check() {
  return GetValue(GatePath(), [](const TJSONBox& value) { return value.AsBoolean(); });
}

TVeltoKey TVeltoUserCardDAO::Enter(std::u16string_view number) {
  return ReadReplyValue(DoPost(GatePath(), number), ToKey);
}

void TVeltoUserCardDAO::Leave() {
  DeleteResource(GatePath());
}

}  // namespace velto
