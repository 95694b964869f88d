#include "velto/person_dao.h"

#include "velto/typed_request.h"

namespace velto {

std::vector<TVeltoPerson> TVeltoPersonDAO::GetList(const TVeltoPerson& search) {
  return GetValue(PassThroughPath(PassThroughId::Person_GetList, {search.SiteId, search.Name}),
                  ListOf(ToPerson));
}

void TVeltoPersonDAO::Add(const TVeltoPerson& person) {
  PostRecord(PassThroughPath(PassThroughId::Person_Add, {person.SiteId}), person, NoValue);
}

TVeltoPerson TVeltoPersonDAO::Get(const TVeltoPerson& person) {
  return GetValue(PassThroughPath(PassThroughId::Person_Get, {person.SiteId, person.Id}), ToPerson);
}

void TVeltoPersonDAO::Modify(const TVeltoPerson& person) {
  PutRecord(PassThroughPath(PassThroughId::Person_Modify, {person.SiteId, person.Id}), person);
}

void TVeltoPersonDAO::Delete(const TVeltoPerson& person) {
  DeleteResource(PassThroughPath(PassThroughId::Person_Delete, {person.SiteId, person.Id}));
}

}  // namespace velto
