#pragma once

#include <functional>
#include <initializer_list>

#include "record_table.h"
#include "router.h"
#include "services.h"

namespace velto::server {

// The plain record operations most routes are made of. Each takes the database lock.

// Replies with the record matching `where`, or "301".
void ReplyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where);

// Sets the settable members of the kind from the JSON body on the record matching `where` and
// replies with the changed record, or "301".
void ModifyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where);
// The same with the changes already taken from the body.
void ModifyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where,
                  const Fields& changes);

// A list filter on `equal` whose `range_member` lies within the request's "searchFrom" and
// "searchTo" (each open when empty).
Filter SearchRange(const Call& call, Fields equal, const char* range_member);
// Narrows the filter by each named query parameter that is not empty: the member of the same
// name must equal it.
void MatchQuery(const Call& call, Filter& filter, std::initializer_list<const char*> names);

// Replies with the records that pass the filter, after checking that the record they belong
// to (`parent_kind` matching `parent`, when given) exists.
void ReplyList(Call& call, Services& services, const RecordKind& kind, const Filter& filter,
               const RecordKind* parent_kind, const Fields& parent);

// Adds a record (made by the route from the JSON body and the members it fixes itself), after
// checking that the parent exists ("301") and that no record has the same `unique` members
// ("302"); replies with the stored record.
void AddRecord(Call& call, Services& services, const RecordKind& kind, Fields record,
               const Fields& unique, const RecordKind* parent_kind, const Fields& parent);

// Deletes the record matching `where` (nothing depends on it) and replies, or "301".
void RemoveRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where);

// Deletes the record matching `where` with what depends on it, in one transaction, through
// `remove`; the bytes of deleted files go once it is committed. "301" when there is no record.
void RemoveWithDependents(Call& call, Services& services, const RecordKind& kind,
                          const Fields& where, const std::function<void(DoomedFiles&)>& remove);

}  // namespace velto::server
