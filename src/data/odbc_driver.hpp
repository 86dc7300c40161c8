// The ODBC backend: server databases (and others) through the platform's
// driver manager (unixODBC here, odbc32 on Windows).
#pragma once

#include <memory>
#include <string>

#include "data/driver.hpp"

namespace lkrva::data {

/// The connection string that is handed to the driver manager: `user_string`
/// with a leading Provider=MSDASQL removed and, for the drivers we know, the
/// options that make results stream and locks wait briefly, each added only
/// when the user has not set it.
std::string OdbcConnectionString(const std::string& user_string);

/// Connects through ODBC without any prompt; user and password come from the
/// string alone.
std::unique_ptr<DriverConnection> OpenOdbc(const std::string& user_string);

}  // namespace lkrva::data
