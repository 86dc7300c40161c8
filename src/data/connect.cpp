// Choosing the driver that a connection string names.
#include "data/connection_string.hpp"
#include "data/driver.hpp"
#include "data/error.hpp"
#include "data/odbc_driver.hpp"
#if !defined(_WIN32)
#include "data/sqlite_driver.hpp"
#endif

namespace lkrva::data {

#if defined(_WIN32)
/// The name the SQLite ODBC driver (www.ch-werner.de/sqliteodbc) is
/// installed under on Windows; a Windows build has no SQLite library of its
/// own and opens "Provider=SQLite;Data Source=PATH" through this driver.
inline constexpr const char* kSqliteOdbcDriver = "SQLite3 ODBC Driver";
#endif

std::unique_ptr<DriverConnection> ConnectDriver(const std::string& connection_string) {
  const ConnectionString cs = ConnectionString::Parse(connection_string);
  if (ClassifyConnection(cs) == BackendKind::kOdbc) return OpenOdbc(connection_string);
  const auto path = cs.Get("Data Source");
  if (!path || path->empty())
    throw DataError("connection string: \"Provider=SQLite\" needs \"Data Source=PATH\"");
#if defined(_WIN32)
  ConnectionString odbc;
  odbc.AddIfAbsent("Driver", kSqliteOdbcDriver);
  odbc.AddIfAbsent("Database", *path);
  return OpenOdbc(odbc.ToString());
#else
  return OpenSqlite(*path);
#endif
}

}  // namespace lkrva::data
