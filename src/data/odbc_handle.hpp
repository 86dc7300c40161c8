// RAII ownership of ODBC handles and the driver's diagnostics as text.
#pragma once

#if defined(_WIN32)
#include <windows.h>  // the types sql.h builds on
#endif
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace lkrva::data {

/// Owns one ODBC handle of type `Type` and frees it once.
template <SQLSMALLINT Type>
class OdbcHandle {
 public:
  OdbcHandle() = default;
  explicit OdbcHandle(SQLHANDLE h) : h_(h) {}
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  OdbcHandle(OdbcHandle&& o) noexcept : h_(o.h_) { o.h_ = SQL_NULL_HANDLE; }
  OdbcHandle& operator=(OdbcHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = o.h_;
      o.h_ = SQL_NULL_HANDLE;
    }
    return *this;
  }
  ~OdbcHandle() { Reset(); }
  void Reset() {
    if (h_ != SQL_NULL_HANDLE) SQLFreeHandle(Type, h_);
    h_ = SQL_NULL_HANDLE;
  }
  SQLHANDLE get() const { return h_; }

 private:
  SQLHANDLE h_ = SQL_NULL_HANDLE;
};

/// Every diagnostic record of `handle` as "[SQLSTATE] message; ...".
std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

/// Raises DataError "ODBC: <doing> \"<sql>\": <diagnostics>" unless `rc`
/// is a success.
void OdbcCheck(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, std::string_view doing,
               std::string_view sql = {});

}  // namespace lkrva::data
