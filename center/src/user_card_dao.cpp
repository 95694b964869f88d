#include "velto/user_card_dao.h"

#include "velto/gate_stamp.h"
#include "velto/server_reply.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string GatePath() {
  return u"/user-card/" + GateTimeStamp() + u"/gate";
}

}  // namespace

std::vector<TVeltoUserCard> TVeltoUserCardDAO::GetList(std::u16string_view user_id) {
  return GetValue(PassThroughPath(PassThroughId::UserCard_GetList, {user_id}), ListOf(ToUserCard));
}

TVeltoUserCard TVeltoUserCardDAO::Add(const TVeltoUserCard& card) {
  return PostRecord(PassThroughPath(PassThroughId::UserCard_Add, {card.UserId}), card, ToUserCard);
}

void TVeltoUserCardDAO::Delete(const TVeltoUserCard& card) {
  DeleteResource(PassThroughPath(PassThroughId::UserCard_Delete, {card.Id}));
}

std::u16string TVeltoUserCardDAO::GetNumber(const TVeltoUserCard& card) {
  return GetValue(PassThroughPath(PassThroughId::UserCard_GetNumber, {card.Id}), ValueText);
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
