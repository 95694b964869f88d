#include "velto/portal_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string PortalsPath(const TVeltoPortal& portal) {
  return ResourcePath(u"/portals/%s/%s", {portal.SiteId, portal.PersonId});
}

std::u16string PortalPath(const TVeltoPortal& portal) {
  return ResourcePath(u"/portal/%s", {portal.Id});
}

}  // namespace

std::vector<TVeltoPortal> TVeltoPortalDAO::GetList(const TVeltoPortal& search) {
  return GetValue(PortalsPath(search) + NameQuery(search.Name), ListOf(ToPortal));
}

TVeltoPortal TVeltoPortalDAO::Add(const TVeltoPortal& portal) {
  return PostRecord(PortalsPath(portal), portal, ToPortal);
}

TVeltoPortal TVeltoPortalDAO::Get(const TVeltoPortal& portal) {
  return GetValue(PortalPath(portal), ToPortal);
}

void TVeltoPortalDAO::Modify(const TVeltoPortal& portal) {
  PutRecord(PortalPath(portal), portal);
}

void TVeltoPortalDAO::Delete(const TVeltoPortal& portal) {
  DeleteResource(PortalPath(portal));
}

}  // namespace velto
