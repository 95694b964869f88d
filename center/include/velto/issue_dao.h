#pragma once

#include <vector>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// The documents issued to a person; each operation is one request.
class TVeltoIssueDAO : public TVeltoDAO {
 public:
  // The issues of `search.SiteId` and `search.PersonId` whose name matches `search.Name`.
  static std::vector<TVeltoIssue> GetList(const TVeltoIssue& search);
  // Returns the issue as the server made it; `issue` itself is not changed.
  static TVeltoIssue Add(const TVeltoIssue& issue);
  // Reads the issue named by `issue.Id`.
  static TVeltoIssue Get(const TVeltoIssue& issue);
  static void Modify(const TVeltoIssue& issue);
  static void Delete(const TVeltoIssue& issue);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoIssueDAO)
};

}  // namespace velto
