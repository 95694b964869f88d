#include "velto/global.h"

#include <utility>

#include "velto/shared_value.h"

namespace velto {
namespace {

SharedValue<TGlobal>& SharedGlobal() {
  static SharedValue<TGlobal> global;
  return global;
}

}  // namespace

const TGlobal Global() {
  return SharedGlobal().Get();
}

void SetGlobal(TGlobal global) {
  SharedGlobal().Set(std::move(global));
}

TVeltoPerson ConfiguredSitePerson(std::u16string_view person_id) {
  TVeltoPerson person;
  person.SiteId = Global().SiteId;
  person.Id = person_id;
  return person;
}

}  // namespace velto
