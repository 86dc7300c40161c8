// Building write-back statements: SET the changed columns, WHERE the record
// is, by rowid, primary key or all original values.
#include "data/record_locator.hpp"

#include "data/error.hpp"

namespace lkrva::data {
namespace {

// Appends "col = ?" (or "col IS NULL") for each (column, value) pair.
void AppendMatch(std::string& where, std::vector<Value>& params, std::vector<std::size_t>& indices,
                 std::size_t index, const std::string& column, const Value& value) {
  if (!where.empty()) where += " AND ";
  where += column;
  if (IsNull(value)) {
    where += " IS NULL";
  } else {
    where += " = ?";
    params.push_back(value);
    indices.push_back(index);
  }
}

}  // namespace

RecordUpdate BuildRecordUpdate(const DriverConnection& driver,
                               const std::vector<ColumnInfo>& columns,
                               const std::vector<Value>& original, const std::vector<Value>& edited,
                               const std::vector<bool>& changed) {
  RecordUpdate u;
  std::string set;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!changed[i]) continue;
    const ColumnInfo& c = columns[i];
    if (c.base_table.empty())
      throw DataError("column " + c.name + " cannot be written: it comes from no table");
    if (!u.table.empty() && u.table != c.base_table)
      throw DataError("column " + c.name + " cannot be written together with columns of table " +
                      u.table);
    u.table = c.base_table;
    if (!set.empty()) set += ", ";
    set += driver.QuoteIdentifier(c.base_column);
    if (IsNull(edited[i])) {
      set += " = NULL";  // a literal: typed NULL parameters trouble some drivers
      u.null_names.push_back(driver.QuoteIdentifier(c.base_column));
    } else {
      set += " = ?";
      u.update_params.push_back(edited[i]);
      u.set_columns.push_back(i);
      u.set_names.push_back(driver.QuoteIdentifier(c.base_column));
    }
  }
  if (set.empty()) return u;

  std::string where;
  std::vector<Value> where_params;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].row_id && !IsNull(original[i]) && columns[i].base_table == u.table) {
      AppendMatch(where, where_params, u.where_columns, i, "rowid", original[i]);
      u.located_by_key = true;
    }
  if (!u.located_by_key) {
    bool any_key = false, key_complete = true;
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (columns[i].primary_key && columns[i].base_table == u.table) {
        any_key = true;
        key_complete = key_complete && !IsNull(original[i]);
        AppendMatch(where, where_params, u.where_columns, i,
                    driver.QuoteIdentifier(columns[i].base_column), original[i]);
      }
    u.located_by_key = any_key && key_complete;
  }
  if (!u.located_by_key) {
    where.clear();
    where_params.clear();
    u.where_columns.clear();
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (!columns[i].row_id && columns[i].base_table == u.table)
        AppendMatch(where, where_params, u.where_columns, i,
                    driver.QuoteIdentifier(columns[i].base_column), original[i]);
    u.count_sql = "SELECT COUNT(*) FROM " + driver.QuoteIdentifier(u.table) + " WHERE " + where;
    u.count_params = where_params;
  }
  if (u.located_by_key)
    for (std::size_t i : u.where_columns)
      u.where_names.push_back(columns[i].row_id ? std::string("rowid")
                                                : driver.QuoteIdentifier(columns[i].base_column));
  u.update_sql = "UPDATE " + driver.QuoteIdentifier(u.table) + " SET " + set + " WHERE " + where;
  u.update_params.insert(u.update_params.end(), where_params.begin(), where_params.end());
  return u;
}

std::string CannotLocateRecord(const std::string& query_sql, const std::string& table) {
  return "query \"" + query_sql + "\": the record cannot be located for updating in table " + table;
}

namespace {

// "(CAST(? AS BIGINT), …), (?, …), …": `records` rows of VALUES whose first
// row types the list.
std::string ValuesRows(std::size_t records, std::string_view kinds) {
  std::string first = "(", row = "(";
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    first += i == 0 ? "" : ", ";
    first += kinds[i] == 'i' ? "CAST(? AS BIGINT)" : "CAST(? AS DOUBLE PRECISION)";
    row += i == 0 ? "?" : ", ?";
  }
  first += ")";
  row += ")";
  std::string out = first;
  out.reserve(first.size() + records * (row.size() + 2));
  for (std::size_t r = 1; r < records; ++r) out += ", " + row;
  return out;
}

// "t.k1 = v.columnN AND …", the key columns after `before` other columns.
std::string KeyJoin(const std::string& table, const RecordUpdate& u, std::size_t before) {
  std::string where;
  for (const std::string& name : u.where_names)
    where += (where.empty() ? "" : " AND ") + table + "." + name + " = v.column" +
             std::to_string(++before);
  return where;
}

}  // namespace

std::string BatchedKeyCount(const DriverConnection& driver, const RecordUpdate& u,
                            std::size_t records, std::string_view key_kinds) {
  const std::string table = driver.QuoteIdentifier(u.table);
  return "SELECT COUNT(*) FROM " + table + ", (VALUES " + ValuesRows(records, key_kinds) +
         ") AS v WHERE " + KeyJoin(table, u, 0);
}

std::string BatchedRecordUpdate(const DriverConnection& driver, const RecordUpdate& u,
                                std::size_t records, std::string_view kinds) {
  // Not "WITH v AS (VALUES …) UPDATE": ODBC drivers take a statement that
  // starts with WITH for a query and wrap it in a cursor.
  std::string set;
  std::size_t column = 0;
  for (const std::string& name : u.set_names)
    set += (set.empty() ? "" : ", ") + name + " = v.column" + std::to_string(++column);
  for (const std::string& name : u.null_names) set += (set.empty() ? "" : ", ") + name + " = NULL";
  const std::string table = driver.QuoteIdentifier(u.table);
  return "UPDATE " + table + " SET " + set + " FROM (VALUES " + ValuesRows(records, kinds) +
         ") AS v WHERE " + KeyJoin(table, u, u.set_names.size());
}

}  // namespace lkrva::data
