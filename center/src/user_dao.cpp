#include "velto/user_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string GatePath(std::u16string_view user_id) {
  return ResourcePath(u"/user/%s/gate", {user_id});
}

}  // namespace

std::vector<TVeltoUser> TVeltoUserDAO::GetList() {
  return GetValue(PassThroughPath(PassThroughId::User_GetList, {}), ListOf(ToUser));
}

void TVeltoUserDAO::Add(const TVeltoUser& user) {
  PostRecord(PassThroughPath(PassThroughId::User_Add, {}), user, NoValue);
}

TVeltoUser TVeltoUserDAO::Get(const TVeltoUser& user) {
  return GetValue(PassThroughPath(PassThroughId::User_Get, {user.Id}), ToUser);
}

void TVeltoUserDAO::Modify(const TVeltoUser& user) {
  PutRecord(PassThroughPath(PassThroughId::User_Modify, {user.Id}), user);
}

void TVeltoUserDAO::Delete(const TVeltoUser& user) {
  DeleteResource(PassThroughPath(PassThroughId::User_Delete, {user.Id}));
}

bool TVeltoUserDAO::Check(std::u16string_view user_id) {
  try {
    GetValue(GatePath(user_id), NoValue);
    return true;
  } catch (...) {  // unreachable, refused, busy, not JSON, not "100": all mean "no"
    return false;
  }
}

TVeltoKey TVeltoUserDAO::Enter(const TVeltoUser& user) {
  return PostRecord(GatePath(user.Id), user, ToKey);
}

void TVeltoUserDAO::Leave(const TVeltoKey& key) {
  DeleteResource(GatePath(key.UserId));
}

}  // namespace velto
