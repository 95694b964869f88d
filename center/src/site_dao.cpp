#include "velto/site_dao.h"

#include "velto/form_fields.h"
#include "velto/multipart_form.h"
#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string SitePath(const TVeltoSite& site) {
  return ResourcePath(u"/site/%s", {site.Id});
}

}  // namespace

std::vector<TVeltoSite> TVeltoSiteDAO::GetList() {
  return GetValue(u"/sites", ListOf(ToSite));
}

void TVeltoSiteDAO::Add(const TVeltoSite& site) {
  PostRecord(u"/sites", site, NoValue);
}

TVeltoSite TVeltoSiteDAO::Get(const TVeltoSite& site) {
  return GetValue(SitePath(site), ToSite);
}

void TVeltoSiteDAO::Modify(const TVeltoSite& site) {
  PutRecord(SitePath(site), site);
}

void TVeltoSiteDAO::Delete(const TVeltoSite& site) {
  DeleteResource(SitePath(site));
}

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
