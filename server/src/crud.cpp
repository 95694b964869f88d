#include "crud.h"

#include "json_body.h"

namespace velto::server {

void ReplyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where) {
  auto lock = services.db.Lock();
  Reply(call, RecordValue(kind, RecordTable(services.db, kind).Get(where)));
}

void ModifyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where) {
  ModifyRecord(call, services, kind, where, Pick(ParseObject(call.body), kind));
}

void ModifyRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where,
                  const Fields& changes) {
  auto lock = services.db.Lock();
  RecordTable table(services.db, kind);
  if (!table.Update(where, changes)) throw RecordNotFound();
  Reply(call, RecordValue(kind, table.Get(where)));
}

Filter SearchRange(const Call& call, Fields equal, const char* range_member) {
  return {std::move(equal), range_member, call.Query("searchFrom"), call.Query("searchTo")};
}

void MatchQuery(const Call& call, Filter& filter, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (const std::string value = call.Query(name); !value.empty()) filter.equal[name] = value;
  }
}

void ReplyList(Call& call, Services& services, const RecordKind& kind, const Filter& filter,
               const RecordKind* parent_kind, const Fields& parent) {
  auto lock = services.db.Lock();
  if (parent_kind != nullptr) RecordTable(services.db, *parent_kind).Get(parent);
  Reply(call, ListValue(kind, RecordTable(services.db, kind).List(filter)));
}

void AddRecord(Call& call, Services& services, const RecordKind& kind, Fields record,
               const Fields& unique, const RecordKind* parent_kind, const Fields& parent) {
  auto lock = services.db.Lock();
  if (parent_kind != nullptr) RecordTable(services.db, *parent_kind).Get(parent);
  RecordTable table(services.db, kind);
  RequireAbsent(table, unique);
  table.Insert(record);
  Reply(call, RecordValue(kind, std::move(record)));
}

void RemoveRecord(Call& call, Services& services, const RecordKind& kind, const Fields& where) {
  auto lock = services.db.Lock();
  FreeingSpace(services, [&] {
    if (RecordTable(services.db, kind).Remove(where) == 0) {
      throw RecordNotFound();
    }
  });
  Reply(call);
}

void RemoveWithDependents(Call& call, Services& services, const RecordKind& kind,
                          const Fields& where, const std::function<void(DoomedFiles&)>& remove) {
  auto lock = services.db.Lock();
  RecordTable(services.db, kind).Get(where);
  FreeingSpace(services, [&] {
    DoomedFiles doomed(services.files);
    Transaction transaction(services.db);
    remove(doomed);
    transaction.Commit();
    doomed.RemoveAll();
  });
  Reply(call);
}

}  // namespace velto::server
