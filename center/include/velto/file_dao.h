#pragma once

#include <string>
#include <vector>

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"
#include "velto_box.h"

namespace velto {

// The files attached to issues, their upload and their download; each operation is one
// request.
class TVeltoFileDAO : public TVeltoDAO {
 public:
  // The files of `search.IssueId` whose name matches `search.FileName` (empty: all).
  static std::vector<TVeltoFile> GetList(const TVeltoFile& search);
  // Uploads the local file at `path` to `file.IssueId` with `file.HlscName` and
  // `file.HlscDate`; the name sent is the path's bare file name. Returns the file record
  // the server made. A file that cannot be opened fails before anything is sent.
  static TVeltoFile Add(const TVeltoFile& file, const std::u16string& path);
  // Reads the file record named by `file.Id`.
  static TVeltoFile Get(const TVeltoFile& file);
  static void Modify(const TVeltoFile& file);
  static void Delete(const TVeltoFile& file);
  // Writes the bytes of the file `file.Id` into `response` as they arrive; the reply is
  // the file itself, with no envelope to check. The caller keeps the stream.
  static void GetData(const TVeltoFile& file, IStream* response);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoFileDAO)
};

}  // namespace velto
