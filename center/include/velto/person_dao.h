#pragma once

#include <vector>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// The persons registered at a site; each operation is one request.
class TVeltoPersonDAO : public TVeltoDAO {
 public:
  // The persons of `search.SiteId` whose name matches `search.Name` (empty: all).
  static std::vector<TVeltoPerson> GetList(const TVeltoPerson& search);
  static void Add(const TVeltoPerson& person);
  // Reads the person named by `person.SiteId` and `person.Id`.
  static TVeltoPerson Get(const TVeltoPerson& person);
  static void Modify(const TVeltoPerson& person);
  static void Delete(const TVeltoPerson& person);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoPersonDAO)
};

}  // namespace velto
