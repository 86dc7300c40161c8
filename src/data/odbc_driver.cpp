// ODBC backend: connecting without prompts, streaming result rows with their
// base tables and keys, prepared write-back statements and transactions.
#include "data/odbc_driver.hpp"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>

#include "data/connection_string.hpp"
#include "data/error.hpp"
#include "data/odbc_handle.hpp"
#include "data/sql_scan.hpp"

namespace lkrva::data {
namespace {

using Env = OdbcHandle<SQL_HANDLE_ENV>;
using Dbc = OdbcHandle<SQL_HANDLE_DBC>;
using Stmt = OdbcHandle<SQL_HANDLE_STMT>;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Contains(std::string_view haystack, std::string_view needle) {
  return Lower(haystack).find(needle) != std::string::npos;
}

ColumnKind KindOfSqlType(SQLSMALLINT type) {
  switch (type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return ColumnKind::kInteger;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return ColumnKind::kReal;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return ColumnKind::kText;
    default:
      return ColumnKind::kOther;
  }
}

std::string StringAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field) {
  SQLCHAR buffer[512] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLColAttribute(stmt, column, field, buffer, sizeof buffer, &length, nullptr)))
    return {};
  return reinterpret_cast<const char*>(buffer);
}

class OdbcCursor final : public Cursor {
 public:
  OdbcCursor(Stmt stmt, std::vector<ColumnInfo> columns, std::string sql)
      : stmt_(std::move(stmt)), columns_(std::move(columns)), sql_(std::move(sql)) {}

  const std::vector<ColumnInfo>& Columns() const override { return columns_; }

  bool Fetch(std::vector<Value>& row) override {
    if (done_) return false;
    const SQLRETURN rc = SQLFetch(stmt_.get());
    if (rc == SQL_NO_DATA) {
      done_ = true;
      stmt_.Reset();  // releases the driver's cursor at once
      return false;
    }
    OdbcCheck(rc, SQL_HANDLE_STMT, stmt_.get(), "cannot read the result of", sql_);
    row.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c)
      row[c] = Read(static_cast<SQLUSMALLINT>(c + 1));
    return true;
  }

 private:
  Value Read(SQLUSMALLINT column) {
    SQLLEN indicator = 0;
    const ColumnKind kind = columns_[column - 1].kind;
    const std::string what = "cannot read column " + columns_[column - 1].name + " of";
    if (kind == ColumnKind::kInteger) {
      SQLBIGINT v = 0;
      OdbcCheck(SQLGetData(stmt_.get(), column, SQL_C_SBIGINT, &v, 0, &indicator), SQL_HANDLE_STMT,
                stmt_.get(), what, sql_);
      if (indicator == SQL_NULL_DATA) return std::monostate{};
      return static_cast<std::int64_t>(v);
    }
    if (kind == ColumnKind::kReal) {
      double v = 0;
      OdbcCheck(SQLGetData(stmt_.get(), column, SQL_C_DOUBLE, &v, 0, &indicator), SQL_HANDLE_STMT,
                stmt_.get(), what, sql_);
      if (indicator == SQL_NULL_DATA) return std::monostate{};
      return v;
    }
    // Text in pieces: the driver says how much remains after each one.
    std::string out;
    char buffer[4096];
    for (;;) {
      const SQLRETURN rc =
          SQLGetData(stmt_.get(), column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
      if (rc == SQL_NO_DATA) break;
      OdbcCheck(rc, SQL_HANDLE_STMT, stmt_.get(), what, sql_);
      if (indicator == SQL_NULL_DATA) return std::monostate{};
      if (rc == SQL_SUCCESS_WITH_INFO &&
          (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer))) {
        out.append(buffer, sizeof buffer - 1);
        continue;
      }
      out.append(buffer, static_cast<std::size_t>(indicator));
      break;
    }
    return out;
  }

  Stmt stmt_;
  std::vector<ColumnInfo> columns_;
  std::string sql_;
  bool done_ = false;
};

class OdbcConnection final : public DriverConnection {
 public:
  explicit OdbcConnection(const std::string& user_string) {
    SQLHANDLE h = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
      throw DataError("ODBC: cannot start the driver manager");
    env_ = Env(h);
    SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_DBC, env_.get(), &h), SQL_HANDLE_ENV, env_.get(),
              "cannot create a connection");
    dbc_ = Dbc(h);
    const std::string cs = OdbcConnectionString(user_string);
    SQLCHAR out[1024];
    SQLSMALLINT out_length = 0;
    const SQLRETURN rc = SQLDriverConnect(
        dbc_.get(), nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(cs.c_str())), SQL_NTS,
        out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc))
      throw DataError("ODBC: cannot connect to \"" + Redacted(user_string) +
                      "\": " + OdbcDiagnostics(SQL_HANDLE_DBC, dbc_.get()));
    connected_ = true;
    SQLCHAR dbms[128] = {};
    SQLSMALLINT dbms_length = 0;
    SQLGetInfo(dbc_.get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbms_length);
    sqlite_ = Contains(reinterpret_cast<const char*>(dbms), "sqlite");
    // Both take UPDATE … FROM (VALUES …) (SQLite since 3.33). Elsewhere each
    // record keeps its own UPDATE.
    batches_ = sqlite_ ? DbmsVersionAtLeast(3, 33)
                       : Contains(reinterpret_cast<const char*>(dbms), "postgresql");
  }

  ~OdbcConnection() override {
    prepared_.clear();
    if (connected_) {
      if (in_transaction_) SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
      SQLDisconnect(dbc_.get());
    }
  }

  std::unique_ptr<Cursor> Open(const std::string& sql) override {
    RefuseSecondStatement(sql);
    Stmt stmt = NewStatement();
    OdbcCheck(SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                            SQL_NTS),
              SQL_HANDLE_STMT, stmt.get(), "cannot run", sql);
    SQLSMALLINT count = 0;
    OdbcCheck(SQLNumResultCols(stmt.get(), &count), SQL_HANDLE_STMT, stmt.get(),
              "cannot describe the result of", sql);
    if (count == 0) throw DataError("ODBC: the statement \"" + sql + "\" returns no rows");
    std::vector<ColumnInfo> columns(static_cast<std::size_t>(count));
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
      SQLCHAR name[256] = {};
      SQLSMALLINT name_length = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      OdbcCheck(SQLDescribeCol(stmt.get(), c, name, sizeof name, &name_length, &type, &size,
                               &digits, &nullable),
                SQL_HANDLE_STMT, stmt.get(), "cannot describe the result of", sql);
      ColumnInfo& info = columns[c - 1];
      info.name = reinterpret_cast<const char*>(name);
      info.kind = KindOfSqlType(type);
      info.base_table = StringAttribute(stmt.get(), c, SQL_DESC_BASE_TABLE_NAME);
      info.base_column = StringAttribute(stmt.get(), c, SQL_DESC_BASE_COLUMN_NAME);
      if (info.base_column.empty()) info.base_column = info.name;
    }
    for (ColumnInfo& info : columns) {
      if (info.base_table.empty()) continue;
      for (const std::string& key : PrimaryKey(info.base_table))
        if (EqualsIgnoreCase(key, info.base_column)) info.primary_key = true;
    }
    return std::make_unique<OdbcCursor>(std::move(stmt), std::move(columns), sql);
  }

  std::int64_t Execute(const std::string& sql, const std::vector<Value>& params) override {
    Bound bound(*this, sql, params);
    const SQLRETURN rc = SQLExecute(bound.stmt);
    if (rc == SQL_NO_DATA) return 0;  // a searched UPDATE that matched nothing
    OdbcCheck(rc, SQL_HANDLE_STMT, bound.stmt, "cannot run", sql);
    SQLLEN changed = 0;
    OdbcCheck(SQLRowCount(bound.stmt, &changed), SQL_HANDLE_STMT, bound.stmt,
              "cannot count the rows changed by", sql);
    return changed;
  }

  Value QueryValue(const std::string& sql, const std::vector<Value>& params) override {
    Bound bound(*this, sql, params);
    OdbcCheck(SQLExecute(bound.stmt), SQL_HANDLE_STMT, bound.stmt, "cannot run", sql);
    const SQLRETURN rc = SQLFetch(bound.stmt);
    if (rc == SQL_NO_DATA) return std::monostate{};
    OdbcCheck(rc, SQL_HANDLE_STMT, bound.stmt, "cannot read the result of", sql);
    SQLBIGINT v = 0;
    SQLLEN indicator = 0;
    OdbcCheck(SQLGetData(bound.stmt, 1, SQL_C_SBIGINT, &v, 0, &indicator), SQL_HANDLE_STMT,
              bound.stmt, "cannot read the result of", sql);
    if (indicator == SQL_NULL_DATA) return std::monostate{};
    return static_cast<std::int64_t>(v);
  }

  void Begin() override {
    if (sqlite_) {
      // The SQLite driver's own transactions are deferred; a run needs the
      // write lock from the start.
      RunDirect("BEGIN IMMEDIATE");
    } else {
      OdbcCheck(SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                                  reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
                SQL_HANDLE_DBC, dbc_.get(), "cannot begin a transaction");
    }
    in_transaction_ = true;
  }

  void Commit() override { End(SQL_COMMIT, "COMMIT"); }
  void Rollback() override { End(SQL_ROLLBACK, "ROLLBACK"); }
  bool CursorsSeeLaterWrites() const override { return sqlite_; }
  bool BatchesUpdates() const override { return batches_; }
  bool CursorsEndWithTransaction() const override { return true; }

 private:
  // Whether the database's version ("3.40.1", "15.00.0000") is at least
  // major.minor.
  bool DbmsVersionAtLeast(int major, int minor) {
    SQLCHAR text[64] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc_.get(), SQL_DBMS_VER, text, sizeof text, &length)))
      return false;
    int got_major = 0, got_minor = 0;
    if (std::sscanf(reinterpret_cast<const char*>(text), "%d.%d", &got_major, &got_minor) != 2)
      return false;
    return got_major > major || (got_major == major && got_minor >= minor);
  }

  void End(SQLSMALLINT completion, const char* sql) {
    in_transaction_ = false;
    if (sqlite_) {
      RunDirect(sql);
      return;
    }
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), completion);
    const std::string diagnostics =
        SQL_SUCCEEDED(rc) ? "" : OdbcDiagnostics(SQL_HANDLE_DBC, dbc_.get());
    SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (!SQL_SUCCEEDED(rc))
      throw DataError(std::string("ODBC: cannot ") +
                      (completion == SQL_COMMIT ? "commit" : "roll back") +
                      " the transaction: " + diagnostics);
  }

  void RunDirect(const char* sql) {
    Stmt stmt = NewStatement();
    OdbcCheck(
        SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS),
        SQL_HANDLE_STMT, stmt.get(), "cannot run", sql);
  }

  // A kept prepared statement with parameters bound; the bound buffers
  // live as long as this object, and the statement's cursor is closed at
  // its end.
  struct Bound {
    Bound(OdbcConnection& c, const std::string& sql, const std::vector<Value>& params)
        : values(params), indicators(params.size()) {
      RefuseSecondStatement(sql);
      auto it = c.prepared_.find(sql);
      if (it == c.prepared_.end()) {
        Stmt fresh = c.NewStatement();
        OdbcCheck(SQLPrepare(fresh.get(),
                             reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS),
                  SQL_HANDLE_STMT, fresh.get(), "cannot prepare", sql);
        it = c.prepared_.emplace(sql, std::move(fresh)).first;
      }
      stmt = it->second.get();
      SQLFreeStmt(stmt, SQL_CLOSE);
      SQLFreeStmt(stmt, SQL_RESET_PARAMS);
      for (std::size_t i = 0; i < values.size(); ++i) BindOne(sql, i);
    }
    ~Bound() { SQLFreeStmt(stmt, SQL_CLOSE); }
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;

    void BindOne(const std::string& sql, std::size_t i) {
      const auto number = static_cast<SQLUSMALLINT>(i + 1);
      Value& v = values[i];
      SQLRETURN rc;
      if (auto* n = std::get_if<std::int64_t>(&v)) {
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, n, 0,
                              &indicators[i]);
      } else if (auto* d = std::get_if<double>(&v)) {
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, d, 0,
                              &indicators[i]);
      } else if (auto* t = std::get_if<std::string>(&v)) {
        indicators[i] = static_cast<SQLLEN>(t->size());
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                              t->empty() ? 1 : t->size(), 0, t->data(),
                              static_cast<SQLLEN>(t->size()), &indicators[i]);
      } else {
        indicators[i] = SQL_NULL_DATA;
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr,
                              0, &indicators[i]);
      }
      OdbcCheck(rc, SQL_HANDLE_STMT, stmt, "cannot bind a value to", sql);
    }

    SQLHSTMT stmt = SQL_NULL_HANDLE;
    std::vector<Value> values;
    std::vector<SQLLEN> indicators;
  };

  Stmt NewStatement() {
    SQLHANDLE h = SQL_NULL_HANDLE;
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_STMT, dbc_.get(), &h), SQL_HANDLE_DBC, dbc_.get(),
              "cannot create a statement");
    return Stmt(h);
  }

  static void RefuseSecondStatement(const std::string& sql) {
    if (HasSecondStatement(sql))
      throw DataError("ODBC: the text \"" + sql +
                      "\" holds more than one statement; nothing was run");
  }

  // The key columns of `table`, asked once per connection.
  const std::vector<std::string>& PrimaryKey(const std::string& table) {
    auto found = keys_.find(table);
    if (found != keys_.end()) return found->second;
    std::vector<std::string>& key = keys_[table];
    Stmt stmt = NewStatement();
    if (!SQL_SUCCEEDED(SQLPrimaryKeys(stmt.get(), nullptr, 0, nullptr, 0,
                                      reinterpret_cast<SQLCHAR*>(const_cast<char*>(table.c_str())),
                                      SQL_NTS)))
      return key;  // no key known: records are located by their values
    while (SQL_SUCCEEDED(SQLFetch(stmt.get()))) {
      SQLCHAR name[256] = {};
      SQLLEN indicator = 0;
      if (SQL_SUCCEEDED(SQLGetData(stmt.get(), 4, SQL_C_CHAR, name, sizeof name, &indicator)) &&
          indicator != SQL_NULL_DATA)
        key.emplace_back(reinterpret_cast<const char*>(name));
    }
    return key;
  }

  // The connection string without its password, for messages.
  static std::string Redacted(const std::string& user_string) {
    try {
      ConnectionString cs = ConnectionString::Parse(user_string);
      for (const char* secret : {"PWD", "Password"})
        if (cs.Has(secret)) {
          cs.Remove(secret);
          cs.AddIfAbsent(secret, "***");
        }
      return cs.ToString();
    } catch (const DataError&) {
      return "(malformed)";
    }
  }

  Env env_;
  Dbc dbc_;
  bool connected_ = false;
  bool sqlite_ = false;
  bool batches_ = false;
  bool in_transaction_ = false;
  std::unordered_map<std::string, Stmt> prepared_;
  std::map<std::string, std::vector<std::string>> keys_;
};

}  // namespace

std::string OdbcConnectionString(const std::string& user_string) {
  ConnectionString cs = ConnectionString::Parse(user_string);
  cs.Remove("Provider");  // MSDASQL is the ODBC bridge itself; drivers do not know the key
  const std::string driver = Lower(cs.Get("Driver").value_or(""));
  if (driver.find("sqlite") != std::string::npos) {
    cs.AddIfAbsent("StepAPI", "1");     // stream rows instead of reading the whole result first
    cs.AddIfAbsent("NoCreat", "1");     // a mistyped path fails instead of making an empty file
    cs.AddIfAbsent("Timeout", "5000");  // wait 5 s for a lock, not the driver's 100 s
  } else if (driver.find("postgres") != std::string::npos ||
             driver.find("psql") != std::string::npos) {
    cs.AddIfAbsent("UseDeclareFetch", "1");  // fetch through a cursor instead of reading all rows
  }
  return cs.ToString();
}

std::unique_ptr<DriverConnection> OpenOdbc(const std::string& user_string) {
  return std::make_unique<OdbcConnection>(user_string);
}

}  // namespace lkrva::data
