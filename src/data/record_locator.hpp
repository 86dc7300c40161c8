// The statements that write one edited record back to its base table.
#pragma once

#include <string>
#include <string_view>
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
  /// Names of the changed base columns that take a parameter, of those
  /// set to NULL, and of the key columns (quoted), in parameter order: what
  /// an UPDATE of many records at once needs.
  std::vector<std::string> set_names;
  std::vector<std::string> null_names;
  std::vector<std::string> where_names;
};

/// The message of a write-back that does not meet exactly one record.
std::string CannotLocateRecord(const std::string& query_sql, const std::string& table);

/// One UPDATE of `records` records of `u`'s shape (located by key), taking
/// the parameters of u.update_sql for each record in turn, joined to the
/// table as a list of VALUES:
///   UPDATE t SET c1 = v.column1, … FROM (VALUES (CAST(? AS BIGINT), …), (?, …))
///   AS v WHERE t.k1 = v.columnN …
/// `kinds` gives each parameter's type: 'i' for an integer, 'd' for a double.
/// The first row carries the casts, which type the whole list (a database
/// reads the other parameters as untyped literals of those types).
std::string BatchedRecordUpdate(const DriverConnection& driver, const RecordUpdate& u,
                                std::size_t records, std::string_view kinds);

/// How many rows of the table the keys of `records` records meet: the
/// check before a batched UPDATE, which changes every record it meets at
/// once. `key_kinds` as `kinds` above, for the key parameters only.
///   SELECT COUNT(*) FROM t, (VALUES (CAST(? AS BIGINT)), (?), …) AS v
///   WHERE t.k1 = v.column1 …
std::string BatchedKeyCount(const DriverConnection& driver, const RecordUpdate& u,
                            std::size_t records, std::string_view key_kinds);

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
