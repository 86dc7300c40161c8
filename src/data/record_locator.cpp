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
    } else {
      set += " = ?";
      u.update_params.push_back(edited[i]);
      u.set_columns.push_back(i);
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
  u.update_sql = "UPDATE " + driver.QuoteIdentifier(u.table) + " SET " + set + " WHERE " + where;
  u.update_params.insert(u.update_params.end(), where_params.begin(), where_params.end());
  return u;
}

}  // namespace lkrva::data
