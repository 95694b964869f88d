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
  if (path.empty()) {
    form.AddTextPart(u"file-name", "");
  } else {
    AddFileWithName(form, path);
  }
  ReadReplyValue(DoPost(u"/site/logo", form), NoValue);
}

}  // namespace velto
