// The statements that write one edited record back to its base table.
#pragma once

#include <string>
#include <vector>

#include "data/driver.hpp"

namespace lkrva::data {

/// An UPDATE for one record and, when the record is located by its values
/// (not by a unique key), the COUNT statement that must find exactly one
/// match before the UPDATE runs.
struct RecordUpdate {
  std::string table;
  std::string update_sql;
  std::vector<Value> update_params;
  bool located_by_key = false;  ///< rowid or primary key: at most one row can match
  std::string count_sql;        ///< empty when located_by_key
  std::vector<Value> count_params;
  /// Which columns feed the parameters: edited values of set_columns, then
  /// original values of where_columns. Records of the same shape (same
  /// changed and NULL columns) share the statements and differ only here.
  std::vector<std::size_t> set_columns;
  std::vector<std::size_t> where_columns;
};

/// Builds the write-back of the columns marked in `changed`. The record is
/// located by the driver's rowid, else by the base table's primary key (all
/// key values present), else by the original values of all its columns
/// from that table, NULL-safe (IS NULL for a NULL). Raises DataError when a
/// changed column comes from no table or the changes span two tables.
/// Returns an empty update_sql when nothing changed.
RecordUpdate BuildRecordUpdate(const DriverConnection& driver,
                               const std::vector<ColumnInfo>& columns,
                               const std::vector<Value>& original, const std::vector<Value>& edited,
                               const std::vector<bool>& changed);

}  // namespace lkrva::data
