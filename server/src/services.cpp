#include "services.h"

#include "ids.h"

namespace velto::server {

Fields Pick(const Fields& body, const RecordKind& kind) {
  Fields picked;
  for (const Member& member : kind.members) {
    if (!member.settable) continue;
    const auto found = body.find(member.name);
    if (found != body.end()) picked[member.name] = found->second;
  }
  return picked;
}

std::string IdOrNew(const Fields& body, const char* member) {
  const auto found = body.find(member);
  return found == body.end() || found->second.empty() ? NewId() : found->second;
}

void RequireAbsent(RecordTable& table, const Fields& where) {
  if (table.Find(where)) throw ReplyError(ReplyCode::kDuplicate, "Duplicate id");
}

void FreeingSpace(Services& services, const std::function<void()>& change) {
  try {
    change();
  } catch (const StorageFull&) {
    if (!services.reserve.Release()) throw;
    change();
  }
  services.reserve.Restore();
}

void DoomedFiles::RemoveAll() {
  for (const std::string& name : names_) files_.Remove(name);
  names_.clear();
}

}  // namespace velto::server
