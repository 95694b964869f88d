#include "velto/site_dao.h"

#include "velto/form_fields.h"
#include "velto/multipart_form.h"
#include "velto/typed_request.h"

namespace velto {

std::vector<TVeltoSite> TVeltoSiteDAO::GetList() {
  return GetValue(PassThroughPath(PassThroughId::Site_GetList, {}), ListOf(ToSite));
}

void TVeltoSiteDAO::Add(const TVeltoSite& site) {
  PostRecord(PassThroughPath(PassThroughId::Site_Add, {}), site, NoValue);
}

TVeltoSite TVeltoSiteDAO::Get(const TVeltoSite& site) {
  return GetValue(PassThroughPath(PassThroughId::Site_Get, {site.Id}), ToSite);
}

void TVeltoSiteDAO::Modify(const TVeltoSite& site) {
  PutRecord(PassThroughPath(PassThroughId::Site_Modify, {site.Id}), site);
}

void TVeltoSiteDAO::Delete(const TVeltoSite& site) {
  DeleteResource(PassThroughPath(PassThroughId::Site_Delete, {site.Id}));
}

// A path of its own, not Site_SetLogo's ("/site/%s/logo"): the typed operation names the site
// by an "id" part of the form.
void TVeltoSiteDAO::SetLogo(const TVeltoSite& site, const std::u16string& path) {
  TMultipartForm form;
  form.AddTextPart(u"id", FormValue(site.Id));
  AddLogoFile(form, path);
  ReadReplyValue(DoPost(u"/site/logo", form), NoValue);
}

std::u16string TVeltoSiteDAO::Site_SetLogo(std::u16string_view site_id,
                                           std::u16string_view file_name) {
  TMultipartForm form;  // the site is named by the path, not by an "id" part
  AddLogoFile(form, std::u16string(file_name));
  return PassThroughValueText(
      DoPost(PassThroughPath(PassThroughId::Site_SetLogo, {site_id}), form));
}

}  // namespace velto
