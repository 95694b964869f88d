#include "velto/portal_dao.h"

#include "velto/typed_request.h"

namespace velto {

std::vector<TVeltoPortal> TVeltoPortalDAO::GetList(const TVeltoPortal& search) {
  return GetValue(
      PassThroughPath(PassThroughId::Portal_GetList, {search.SiteId, search.PersonId, search.Name}),
      ListOf(ToPortal));
}

TVeltoPortal TVeltoPortalDAO::Add(const TVeltoPortal& portal) {
  return PostRecord(PassThroughPath(PassThroughId::Portal_Add, {portal.SiteId, portal.PersonId}),
                    portal, ToPortal);
}

TVeltoPortal TVeltoPortalDAO::Get(const TVeltoPortal& portal) {
  return GetValue(PassThroughPath(PassThroughId::Portal_Get, {portal.Id}), ToPortal);
}

void TVeltoPortalDAO::Modify(const TVeltoPortal& portal) {
  PutRecord(PassThroughPath(PassThroughId::Portal_Modify, {portal.Id}), portal);
}

void TVeltoPortalDAO::Delete(const TVeltoPortal& portal) {
  DeleteResource(PassThroughPath(PassThroughId::Portal_Delete, {portal.Id}));
}

}  // namespace velto
