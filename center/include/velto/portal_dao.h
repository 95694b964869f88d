#pragma once

#include <vector>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// A person's portals; each operation is one request.
class TVeltoPortalDAO : public TVeltoDAO {
 public:
  // The portals of `search.SiteId` and `search.PersonId` whose name matches `search.Name`.
  static std::vector<TVeltoPortal> GetList(const TVeltoPortal& search);
  // Returns the portal as the server made it.
  static TVeltoPortal Add(const TVeltoPortal& portal);
  // Reads the portal named by `portal.Id`.
  static TVeltoPortal Get(const TVeltoPortal& portal);
  static void Modify(const TVeltoPortal& portal);
  static void Delete(const TVeltoPortal& portal);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoPortalDAO)
};

}  // namespace velto
