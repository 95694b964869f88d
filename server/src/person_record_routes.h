#pragma once

#include "record_table.h"
#include "router.h"
#include "services.h"

namespace velto::server {

// Issues and portals are both named records of a person with an end of validity: they share
// the list, add, read and change routes; each resource adds its own delete.
void AddPersonRecordRoutes(Router& router, Services& services, const RecordKind& kind,
                           const char* list_path, const char* record_path);

}  // namespace velto::server
