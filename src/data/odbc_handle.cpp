// ODBC diagnostics turned into exception messages.
#include "data/odbc_handle.hpp"

#include "data/error.hpp"

namespace lkrva::data {

std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::string out;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {};
    SQLCHAR message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (!out.empty()) out += "; ";
    out += "[";
    out += reinterpret_cast<const char*>(state);
    out += "] ";
    out += reinterpret_cast<const char*>(message);
  }
  return out.empty() ? "no diagnostics from the driver" : out;
}

void OdbcCheck(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, std::string_view doing,
               std::string_view sql) {
  if (SQL_SUCCEEDED(rc)) return;
  std::string msg = "ODBC: " + std::string(doing);
  if (!sql.empty()) msg += " \"" + std::string(sql) + "\"";
  msg += ": " + OdbcDiagnostics(type, handle);
  throw DataError(msg);
}

}  // namespace lkrva::data
