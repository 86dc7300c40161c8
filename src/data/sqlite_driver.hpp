// The SQLite backend: files opened through the SQLite C library.
#pragma once

#include <memory>
#include <string>

#include "data/driver.hpp"

namespace lkrva::data {

/// Opens the existing SQLite file `path` for reading and writing (a missing
/// file is an error, never created), with a busy timeout of a few seconds so
/// that a short lock held by another program does not fail a run. The
/// database's own journal and synchronous settings are left as they are.
std::unique_ptr<DriverConnection> OpenSqlite(const std::string& path);

}  // namespace lkrva::data
