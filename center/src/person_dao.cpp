#include "velto/person_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string PersonsPath(const TVeltoPerson& person) {
  return ResourcePath(u"/persons/%s", {person.SiteId});
}

std::u16string PersonPath(const TVeltoPerson& person) {
  return ResourcePath(u"/person/%s/%s", {person.SiteId, person.Id});
}

}  // namespace

std::vector<TVeltoPerson> TVeltoPersonDAO::GetList(const TVeltoPerson& search) {
  return GetValue(PersonsPath(search) + NameQuery(search.Name), ListOf(ToPerson));
}

void TVeltoPersonDAO::Add(const TVeltoPerson& person) {
  PostRecord(PersonsPath(person), person, NoValue);
}

TVeltoPerson TVeltoPersonDAO::Get(const TVeltoPerson& person) {
  return GetValue(PersonPath(person), ToPerson);
}

void TVeltoPersonDAO::Modify(const TVeltoPerson& person) {
  PutRecord(PersonPath(person), person);
}

void TVeltoPersonDAO::Delete(const TVeltoPerson& person) {
  DeleteResource(PersonPath(person));
}

}  // namespace velto
