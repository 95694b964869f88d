#include "velto/user_card_dao.h"

#include "velto/gate_stamp.h"
#include "velto/server_reply.h"

namespace velto {
namespace {

std::u16string GatePath() {
  return u"/user-card/" + GateTimeStamp() + u"/gate";
}

}  // namespace

bool TVeltoUserCardDAO::Check() {
  return ReadReplyValue(DoGet(GatePath()), [](const TJSONBox& value) { return value.AsBoolean(); });
}

TVeltoKey TVeltoUserCardDAO::Enter(std::u16string_view number) {
  return ReadReplyValue(DoPost(GatePath(), number), ToKey);
}

void TVeltoUserCardDAO::Leave() {
  ReadReplyValue(DoDelete(GatePath()), [](const TJSONBox&) {});
}

}  // namespace velto
