#include "velto/global.h"

namespace velto {

TGlobal& Global() {
  static TGlobal global;
  return global;
}

TVeltoPerson ConfiguredSitePerson(std::u16string_view person_id) {
  TVeltoPerson person;
  person.SiteId = Global().SiteId;
  person.Id = person_id;
  return person;
}

}  // namespace velto
