// The seam between the query layer and a database library: a connection
// that runs statements and a cursor that hands out rows one at a time.
// SQLite (its C library) and ODBC implement it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.hpp"

namespace lkrva::data {

/// How a column stores values, which decides how assigned text is converted.
enum class ColumnKind { kInteger, kReal, kText, kOther };

/// What a result column is, as far as the database tells.
struct ColumnInfo {
  std::string name;         ///< the name the result gives it
  std::string base_table;   ///< the table it comes from; empty when unknown (an expression)
  std::string base_column;  ///< its name in that table
  ColumnKind kind = ColumnKind::kOther;
  bool primary_key = false;  ///< part of the base table's primary key
  bool row_id = false;       ///< a locator the driver added (SQLite rowid); hidden from users
};

/// One open result. Rows come as they are fetched; nothing is read ahead.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual const std::vector<ColumnInfo>& Columns() const = 0;
  /// Reads the next row into `row` (one value per column); false at the end.
  virtual bool Fetch(std::vector<Value>& row) = 0;
};

/// One open database connection.
class DriverConnection {
 public:
  virtual ~DriverConnection() = default;

  /// Runs one statement that returns rows. Raises DataError quoting the
  /// statement and the database's message; a text holding more than one
  /// statement raises and runs nothing.
  virtual std::unique_ptr<Cursor> Open(const std::string& sql) = 0;

  /// Runs one statement with `params` bound in order to its "?" markers and
  /// returns the number of rows it changed. Statements are prepared once and
  /// kept, since write-back sends the same text for every record.
  virtual std::int64_t Execute(const std::string& sql, const std::vector<Value>& params) = 0;

  /// Runs one statement with `params` bound and returns the first column of
  /// its first row (NULL when it gives no row).
  virtual Value QueryValue(const std::string& sql, const std::vector<Value>& params) = 0;

  /// Starts a transaction that already holds the write lock (SQLite: BEGIN
  /// IMMEDIATE), so a run never fails to upgrade a read lock halfway.
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;

  /// Whether rows not yet fetched by an open cursor may show writes made on
  /// this connection afterwards (SQLite), so that a snapshot must read them
  /// before writing.
  virtual bool CursorsSeeLaterWrites() const = 0;

  /// Whether open cursors may be lost at the end of a transaction (ODBC
  /// drivers close them at commit), so that they must be read out first.
  virtual bool CursorsEndWithTransaction() const = 0;

  /// Whether the database takes one UPDATE for many records, joined to a
  /// list of VALUES (UPDATE … FROM (VALUES …)), which runs write-back in
  /// batches.
  virtual bool BatchesUpdates() const { return false; }

  /// How identifiers are quoted in generated statements ("name").
  virtual std::string QuoteIdentifier(std::string_view name) const;
};

inline std::string DriverConnection::QuoteIdentifier(std::string_view name) const {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

/// Opens the connection that `connection_string` names: SQLite through its
/// C library, or ODBC. Raises DataError for an unsupported string or a
/// database that cannot be opened.
std::unique_ptr<DriverConnection> ConnectDriver(const std::string& connection_string);

}  // namespace lkrva::data
