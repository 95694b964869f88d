#include "record_table.h"

#include <charconv>

namespace velto::server {
namespace {

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

// "?N", SQLite's numbered parameter.
std::string Placeholder(int number) {
  std::string placeholder = std::to_string(number);
  placeholder.insert(placeholder.begin(), '?');
  return placeholder;
}

}  // namespace

void WriteText(JsonWriter& writer, const std::string& text) {
  writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

void RecordTable::CreateSchema() {
  std::string sql = "CREATE TABLE IF NOT EXISTS " + Quoted(kind_.table) +
                    " (seq INTEGER PRIMARY KEY AUTOINCREMENT";
  for (const Member& member : kind_.members) {
    sql += ", " + Quoted(member.name) + " TEXT NOT NULL DEFAULT ''";
  }
  sql += ")";
  db_.Execute(sql);
  // The members that lookups and lists select by.
  for (const char* indexed : {"id", "number", "userId", "personId", "issueId"}) {
    if (!Has(indexed)) continue;
    db_.Execute("CREATE INDEX IF NOT EXISTS " + Quoted(std::string(kind_.table) + "_" + indexed) +
                " ON " + Quoted(kind_.table) + " (" + Quoted(indexed) + ")");
  }
}

bool RecordTable::Has(const std::string& member) const {
  for (const Member& known : kind_.members) {
    if (member == known.name) return true;
  }
  return false;
}

std::string RecordTable::WhereClause(const Fields& where, int& next) const {
  std::string clause = " WHERE 1";
  for (const auto& [name, value] : where) {
    clause += " AND " + Quoted(name) + " = " + Placeholder(next++);
  }
  return clause;
}

std::vector<Fields> RecordTable::Select(const std::string& sql,
                                        const std::vector<std::string>& values) {
  Statement statement = db_.Prepare(sql);
  for (size_t i = 0; i < values.size(); ++i) statement.Bind(static_cast<int>(i + 1), values[i]);
  std::vector<Fields> rows;
  while (statement.Step()) {
    Fields row;
    for (size_t i = 0; i < kind_.members.size(); ++i) {
      row[kind_.members[i].name] = statement.Text(static_cast<int>(i));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

static std::string SelectColumns(const RecordKind& kind) {
  std::string columns;
  for (const Member& member : kind.members) {
    if (!columns.empty()) columns += ", ";
    columns += Quoted(member.name);
  }
  return "SELECT " + columns + " FROM " + Quoted(kind.table);
}

std::optional<Fields> RecordTable::Find(const Fields& where) {
  int next = 1;
  std::vector<std::string> values;
  for (const auto& entry : where) values.push_back(entry.second);
  auto rows =
      Select(SelectColumns(kind_) + WhereClause(where, next) + " ORDER BY seq LIMIT 1", values);
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

Fields RecordTable::Get(const Fields& where) {
  auto found = Find(where);
  if (!found) throw RecordNotFound();
  return std::move(*found);
}

std::vector<Fields> RecordTable::List(const Filter& filter) {
  int next = 1;
  std::vector<std::string> values;
  for (const auto& entry : filter.equal) values.push_back(entry.second);
  std::string sql = SelectColumns(kind_) + WhereClause(filter.equal, next);
  if (filter.range_member != nullptr) {
    const std::string column = Quoted(filter.range_member);
    const std::string from = Placeholder(next++);
    const std::string to = Placeholder(next++);
    sql += " AND (" + from + " = '' OR " + column + " >= " + from + ")";
    sql += " AND (" + to + " = '' OR substr(" + column + ", 1, length(" + to + ")) <= " + to + ")";
    values.push_back(filter.from);
    values.push_back(filter.to);
  }
  return Select(sql + " ORDER BY seq", values);
}

void RecordTable::Insert(const Fields& record) {
  std::string columns;
  std::string places;
  for (size_t i = 0; i < kind_.members.size(); ++i) {
    if (i > 0) {
      columns += ", ";
      places += ", ";
    }
    columns += Quoted(kind_.members[i].name);
    places += "?";
  }
  Statement statement = db_.Prepare("INSERT INTO " + Quoted(kind_.table) + " (" + columns +
                                    ") VALUES (" + places + ")");
  for (size_t i = 0; i < kind_.members.size(); ++i) {
    const auto found = record.find(kind_.members[i].name);
    statement.Bind(static_cast<int>(i + 1),
                   found == record.end() ? std::string_view() : std::string_view(found->second));
  }
  statement.Run();
}

bool RecordTable::Update(const Fields& where, const Fields& changes) {
  std::string assignments;
  std::vector<std::string> values;
  int next = 1;
  for (const auto& [name, value] : changes) {
    if (!Has(name)) continue;
    if (!assignments.empty()) assignments += ", ";
    assignments += Quoted(name) + " = " + Placeholder(next++);
    values.push_back(value);
  }
  if (assignments.empty()) return Find(where).has_value();
  for (const auto& entry : where) values.push_back(entry.second);
  Statement statement = db_.Prepare("UPDATE " + Quoted(kind_.table) + " SET " + assignments +
                                    WhereClause(where, next));
  for (size_t i = 0; i < values.size(); ++i) statement.Bind(static_cast<int>(i + 1), values[i]);
  statement.Run();
  return db_.ChangedRows() > 0;
}

std::int64_t RecordTable::Remove(const Fields& where) {
  int next = 1;
  Statement statement =
      db_.Prepare("DELETE FROM " + Quoted(kind_.table) + WhereClause(where, next));
  int index = 1;
  for (const auto& entry : where) statement.Bind(index++, entry.second);
  statement.Run();
  return db_.ChangedRows();
}

static void WriteRecord(JsonWriter& writer, const RecordKind& kind, const Fields& record) {
  writer.StartObject();
  for (const Member& member : kind.members) {
    if (member.hidden) continue;
    writer.Key(member.name);
    const auto found = record.find(member.name);
    const std::string text = found == record.end() ? std::string() : found->second;
    if (member.number) {
      std::int64_t number = 0;
      std::from_chars(text.data(), text.data() + text.size(), number);
      writer.Int64(number);
    } else {
      WriteText(writer, text);
    }
  }
  writer.EndObject();
}

ValueWriter RecordValue(const RecordKind& kind, Fields record) {
  return [&kind, record = std::move(record)](JsonWriter& writer) {
    WriteRecord(writer, kind, record);
  };
}

ValueWriter ListValue(const RecordKind& kind, std::vector<Fields> records) {
  return [&kind, records = std::move(records)](JsonWriter& writer) {
    writer.StartArray();
    for (const Fields& record : records) WriteRecord(writer, kind, record);
    writer.EndArray();
  };
}

}  // namespace velto::server
