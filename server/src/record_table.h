#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "database.h"
#include "reply.h"

namespace velto::server {

// A record as member name -> text.
using Fields = std::map<std::string, std::string>;

// One member of a kind of record. Written with designated initializers, so that each row
// names what it says: {.name = "order", .settable = true, .number = true}.
struct Member {
  const char* name;
  bool settable = false;  // a request body may set it, on creation and on change
  bool number = false;    // written as a JSON number
  bool hidden = false;    // stored, never written to a reply
};

// A kind of record: its table and its members in the order they are written. The members are
// the one place that says what a route may set: ids, the record a record belongs to and what
// the server works out itself are not settable.
struct RecordKind {
  const char* table;
  std::vector<Member> members;
};

// A list filter: equal members, and one member within [from, to]. An empty bound is open;
// "to" includes every value that begins with it.
struct Filter {
  Filter() = default;
  Filter(Fields equal_members) : equal(std::move(equal_members)) {}  // NOLINT: implicit on purpose
  Filter(Fields equal_members, const char* member, std::string from_text, std::string to_text)
      : equal(std::move(equal_members)),
        range_member(member),
        from(std::move(from_text)),
        to(std::move(to_text)) {}

  Fields equal;
  const char* range_member = nullptr;
  std::string from;
  std::string to;
};

// The rows of one kind of record, in creation order. The caller holds the database lock.
class RecordTable {
 public:
  RecordTable(Database& db, const RecordKind& kind) : db_(db), kind_(kind) {}

  void CreateSchema();
  std::optional<Fields> Find(const Fields& where);
  // Find, or ReplyError "301".
  Fields Get(const Fields& where);
  std::vector<Fields> List(const Filter& filter);
  // Every member is stored; one missing from the record is stored empty.
  void Insert(const Fields& record);
  // Changes only the given members that belong to the kind; false when no row matched.
  bool Update(const Fields& where, const Fields& changes);
  std::int64_t Remove(const Fields& where);

  const RecordKind& kind() const { return kind_; }

 private:
  bool Has(const std::string& member) const;
  std::string WhereClause(const Fields& where, int& next) const;
  std::vector<Fields> Select(const std::string& sql, const std::vector<std::string>& values);

  Database& db_;
  const RecordKind& kind_;
};

// Writes a text as a JSON string.
void WriteText(JsonWriter& writer, const std::string& text);
// A reply value: one record, or a list of records, with the visible members of its kind.
ValueWriter RecordValue(const RecordKind& kind, Fields record);
ValueWriter ListValue(const RecordKind& kind, std::vector<Fields> records);

}  // namespace velto::server
