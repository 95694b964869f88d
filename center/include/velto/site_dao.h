#pragma once

#include <string>
#include <vector>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// Sites and their logos; each operation is one request.
class TVeltoSiteDAO : public TVeltoDAO {
 public:
  static std::vector<TVeltoSite> GetList();
  static void Add(const TVeltoSite& site);
  // Reads the site named by `site.Id`.
  static TVeltoSite Get(const TVeltoSite& site);
  static void Modify(const TVeltoSite& site);
  static void Delete(const TVeltoSite& site);
  // Uploads the file at `path` as the logo of `site.Id`; an empty path sends no file.
  static void SetLogo(const TVeltoSite& site, const std::u16string& path);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoSiteDAO)
};

}  // namespace velto
