// Choosing the driver that a connection string names.
#include "data/connection_string.hpp"
#include "data/driver.hpp"
#include "data/error.hpp"
#include "data/odbc_driver.hpp"
#include "data/sqlite_driver.hpp"

namespace lkrva::data {

std::unique_ptr<DriverConnection> ConnectDriver(const std::string& connection_string) {
  const ConnectionString cs = ConnectionString::Parse(connection_string);
  if (ClassifyConnection(cs) == BackendKind::kOdbc) return OpenOdbc(connection_string);
  const auto path = cs.Get("Data Source");
  if (!path || path->empty())
    throw DataError("connection string: \"Provider=SQLite\" needs \"Data Source=PATH\"");
  return OpenSqlite(*path);
}

}  // namespace lkrva::data
