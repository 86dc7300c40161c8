// SQLite backend: statements, rows with their column origins, write-back
// statements and transactions over the SQLite C library.
#include "data/sqlite_driver.hpp"

#include <sqlite3.h>

#include <cctype>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "data/connection_string.hpp"
#include "data/error.hpp"

namespace lkrva::data {
namespace {

constexpr int kBusyTimeoutMs = 5000;

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

[[noreturn]] void Fail(sqlite3* db, std::string_view doing, std::string_view sql) {
  std::string msg = "SQLite: " + std::string(doing);
  if (!sql.empty()) msg += " \"" + std::string(sql) + "\"";
  msg += ": ";
  msg += db ? sqlite3_errmsg(db) : "out of memory";
  throw DataError(msg);
}

// The affinity rules of SQLite's column declarations.
ColumnKind KindOfDeclaredType(const char* decl) {
  if (!decl) return ColumnKind::kOther;
  std::string t;
  for (const char* p = decl; *p; ++p)
    t += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  if (t.find("INT") != std::string::npos) return ColumnKind::kInteger;
  if (t.find("CHAR") != std::string::npos || t.find("CLOB") != std::string::npos ||
      t.find("TEXT") != std::string::npos)
    return ColumnKind::kText;
  if (t.find("BLOB") != std::string::npos || t.empty()) return ColumnKind::kOther;
  return ColumnKind::kReal;  // REAL, FLOA, DOUB and NUMERIC affinity alike
}

// Prepares exactly one statement; text after it other than blanks and
// comments is an error and is never run.
StmtPtr PrepareOne(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &raw, &tail) !=
      SQLITE_OK)
    Fail(db, "cannot prepare", sql);
  StmtPtr stmt(raw);
  if (!stmt) throw DataError("SQLite: the statement \"" + sql + "\" is empty");
  if (tail && *tail) {
    sqlite3_stmt* rest = nullptr;
    const int rc = sqlite3_prepare_v2(db, tail, -1, &rest, nullptr);
    StmtPtr rest_guard(rest);
    if (rc != SQLITE_OK || rest)
      throw DataError("SQLite: the text \"" + sql +
                      "\" holds more than one statement; nothing was run");
  }
  return stmt;
}

/// PrepareOne, or nothing when the text does not prepare as one statement.
StmtPtr TryPrepareOne(sqlite3* db, const std::string& sql) {
  try {
    return PrepareOne(db, sql);
  } catch (const DataError&) {
    return nullptr;
  }
}

bool StartsWithSelectStar(std::string_view sql) {
  std::size_t i = 0;
  auto skip = [&] {
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
  };
  auto word = [&](std::string_view w) {
    if (sql.size() - i < w.size() || !EqualsIgnoreCase(sql.substr(i, w.size()), w)) return false;
    i += w.size();
    return true;
  };
  skip();
  if (!word("select") || i >= sql.size() || !std::isspace(static_cast<unsigned char>(sql[i])))
    return false;
  skip();
  if (!word("*")) return false;
  const std::size_t after_star = i;
  skip();
  return i > after_star && word("from") && i < sql.size() &&
         std::isspace(static_cast<unsigned char>(sql[i]));
}

// What the columns of a prepared statement are and where they come from.
std::vector<ColumnInfo> Describe(sqlite3* db, sqlite3_stmt* s) {
  const int n = sqlite3_column_count(s);
  std::vector<ColumnInfo> columns(static_cast<std::size_t>(n));
  for (int c = 0; c < n; ++c) {
    ColumnInfo& info = columns[c];
    const char* name = sqlite3_column_name(s, c);
    info.name = name ? name : "";
    const char* table = sqlite3_column_table_name(s, c);
    const char* origin = sqlite3_column_origin_name(s, c);
    const char* schema = sqlite3_column_database_name(s, c);
    info.kind = KindOfDeclaredType(sqlite3_column_decltype(s, c));
    if (table && origin) {
      info.base_table = table;
      info.base_column = origin;
      int primary_key = 0;
      if (sqlite3_table_column_metadata(db, schema, table, origin, nullptr, nullptr, nullptr,
                                        &primary_key, nullptr) == SQLITE_OK)
        info.primary_key = primary_key != 0;
    }
  }
  return columns;
}

/// How often SQLite has prepared `s` again since it was first prepared.
int Reprepares(sqlite3_stmt* s) { return sqlite3_stmt_status(s, SQLITE_STMTSTATUS_REPREPARE, 0); }

// The statements of the results read last, kept for the next Open of the
// same text: the fill pass sends each incomplete record's statement again
// after two neighbour lookups, and a "select *" costs as much to prepare as
// to run.
class RecentStatements {
 public:
  struct Entry {
    std::string sql;
    StmtPtr stmt;
    std::vector<ColumnInfo> columns;
  };

  /// The kept statement for `sql`, taken out of the cache.
  std::optional<Entry> Take(const std::string& sql) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->sql == sql) {
        Entry e = std::move(*it);
        entries_.erase(it);
        return e;
      }
    }
    return std::nullopt;
  }

  /// Keeps a reset statement, dropping the oldest beyond kKept.
  void Keep(Entry e) {
    if (entries_.size() == kKept) entries_.erase(entries_.begin());
    entries_.push_back(std::move(e));
  }

 private:
  static constexpr std::size_t kKept = 4;
  std::vector<Entry> entries_;
};

class SqliteCursor final : public Cursor {
 public:
  /// `first_step` is what the statement's first step gave (SQLITE_ROW or
  /// SQLITE_DONE); the columns were described after it.
  SqliteCursor(StmtPtr stmt, std::vector<ColumnInfo> columns, std::string sql, sqlite3* db,
               std::weak_ptr<RecentStatements> recent, int first_step)
      : stmt_(std::move(stmt)),
        columns_(std::move(columns)),
        sql_(std::move(sql)),
        db_(db),
        recent_(std::move(recent)),
        pending_step_(first_step) {}

  ~SqliteCursor() override { GiveBack(); }

  const std::vector<ColumnInfo>& Columns() const override { return columns_; }

  bool Fetch(std::vector<Value>& row) override {
    if (done_) return false;
    const int rc = pending_step_ != 0 ? std::exchange(pending_step_, 0) : sqlite3_step(stmt_.get());
    if (rc == SQLITE_DONE) {
      done_ = true;
      GiveBack();  // ends the read at once, so it holds no lock
      return false;
    }
    if (rc != SQLITE_ROW) Fail(db_, "cannot read the result of", sql_);
    const int n = static_cast<int>(columns_.size());
    row.resize(columns_.size());
    for (int c = 0; c < n; ++c) {
      switch (sqlite3_column_type(stmt_.get(), c)) {
        case SQLITE_NULL:
          row[c] = std::monostate{};
          break;
        case SQLITE_INTEGER:
          row[c] = static_cast<std::int64_t>(sqlite3_column_int64(stmt_.get(), c));
          break;
        case SQLITE_FLOAT:
          row[c] = sqlite3_column_double(stmt_.get(), c);
          break;
        default: {
          const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), c));
          row[c] = std::string(p ? p : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), c)));
        }
      }
    }
    return true;
  }

 private:
  // Resets the statement (which ends its read) and leaves it for the next
  // Open of the same text, while the connection is still there.
  void GiveBack() {
    if (!stmt_) return;
    sqlite3_reset(stmt_.get());
    if (auto recent = recent_.lock()) recent->Keep({sql_, std::move(stmt_), columns_});
    stmt_.reset();
  }

  StmtPtr stmt_;
  std::vector<ColumnInfo> columns_;
  std::string sql_;
  sqlite3* db_;
  std::weak_ptr<RecentStatements> recent_;
  int pending_step_;  // the first step's result, until Fetch hands it out
  bool done_ = false;
};

class SqliteConnection final : public DriverConnection {
 public:
  explicit SqliteConnection(const std::string& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   // One thread at a time uses a connection (the runs
                                   // are serialised), so SQLite's own locking is waste.
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) Fail(db_.get(), "cannot open the database file", path);
    sqlite3_extended_result_codes(db_.get(), 1);
    sqlite3_busy_timeout(db_.get(), kBusyTimeoutMs);
  }

  ~SqliteConnection() override {
    // Statements go before the connection.
    recent_.reset();
    prepared_.clear();
  }

  std::unique_ptr<Cursor> Open(const std::string& sql) override {
    // Every statement takes its first step before its columns are read:
    // SQLite prepares a statement again at its first step when the schema
    // changed (another program altered the table), and a "select *" then
    // has other columns than before the step.
    if (auto kept = recent_->Take(sql)) {
      sqlite3_stmt* s = kept->stmt.get();
      const int before = Reprepares(s);
      const int rc = FirstStep(s, sql);
      if (Reprepares(s) == before)
        return std::make_unique<SqliteCursor>(std::move(kept->stmt), std::move(kept->columns), sql,
                                              db_.get(), recent_, rc);
      // Prepared again: described afresh below.
    }
    // A record is located most cheaply and surely by its rowid. A plain
    // "select * from" over one rowid table gets the rowid as a hidden last
    // column; anything else keeps its statement and is located by key or
    // by its values. The variant with the rowid is tried first, so the
    // common case prepares once (a lookup statement costs about as much to
    // prepare as to run).
    if (StartsWithSelectStar(sql)) {
      const std::size_t star = sql.find('*');
      const std::string with_rowid = sql.substr(0, star) + "*, rowid" + sql.substr(star + 1);
      StmtPtr stmt = TryPrepareOne(db_.get(), with_rowid);
      if (stmt && sqlite3_stmt_readonly(stmt.get())) {
        const int rc = sqlite3_step(stmt.get());
        std::vector<ColumnInfo> columns;
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) columns = Describe(db_.get(), stmt.get());
        if (columns.size() >= 2) {
          ColumnInfo rowid = columns.back();
          columns.pop_back();
          if (SingleBaseTable(columns) && rowid.base_table == columns.front().base_table) {
            rowid.row_id = true;
            rowid.name = "rowid";
            rowid.base_column = "rowid";
            columns.push_back(std::move(rowid));
            return std::make_unique<SqliteCursor>(std::move(stmt), std::move(columns), sql,
                                                  db_.get(), recent_, rc);
          }
        }
      }
    }
    StmtPtr stmt = PrepareOne(db_.get(), sql);
    if (!sqlite3_stmt_readonly(stmt.get()) || sqlite3_column_count(stmt.get()) == 0)
      throw DataError("SQLite: the statement \"" + sql + "\" returns no rows");
    const int rc = FirstStep(stmt.get(), sql);
    std::vector<ColumnInfo> columns = Describe(db_.get(), stmt.get());
    return std::make_unique<SqliteCursor>(std::move(stmt), std::move(columns), sql, db_.get(),
                                          recent_, rc);
  }

  std::int64_t Execute(const std::string& sql, const std::vector<Value>& params) override {
    sqlite3_stmt* s = Bound(sql, params);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(db_.get(), "cannot run", sql);
    return sqlite3_changes64(db_.get());
  }

  Value QueryValue(const std::string& sql, const std::vector<Value>& params) override {
    sqlite3_stmt* s = Bound(sql, params);
    const int rc = sqlite3_step(s);
    Value v;
    if (rc == SQLITE_ROW) {
      if (sqlite3_column_type(s, 0) == SQLITE_INTEGER)
        v = static_cast<std::int64_t>(sqlite3_column_int64(s, 0));
      else if (sqlite3_column_type(s, 0) == SQLITE_FLOAT)
        v = sqlite3_column_double(s, 0);
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(db_.get(), "cannot run", sql);
    return v;
  }

  void Begin() override { Run("BEGIN IMMEDIATE"); }
  void Commit() override { Run("COMMIT"); }
  void Rollback() override { Run("ROLLBACK"); }
  bool CursorsSeeLaterWrites() const override { return true; }
  bool CursorsEndWithTransaction() const override { return false; }

 private:
  // The first step of `s` (the text `sql`): SQLITE_ROW or SQLITE_DONE.
  int FirstStep(sqlite3_stmt* s, const std::string& sql) {
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(db_.get(), "cannot read the result of", sql);
    return rc;
  }

  void Run(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = std::string("SQLite: cannot run \"") + sql + "\": " + (err ? err : "");
      sqlite3_free(err);
      throw DataError(msg);
    }
  }

  // The prepared statement for `sql` (kept for the next call) with
  // `params` bound; they must outlive its next step.
  sqlite3_stmt* Bound(const std::string& sql, const std::vector<Value>& params) {
    // A run sends one statement text over and over: compare with the last
    // before hashing the whole text.
    if (last_bound_ == nullptr || *last_bound_sql_ != sql) {
      auto it = prepared_.find(sql);
      if (it == prepared_.end()) it = prepared_.emplace(sql, PrepareOne(db_.get(), sql)).first;
      last_bound_sql_ = &it->first;
      last_bound_ = it->second.get();
    }
    sqlite3_stmt* s = last_bound_;
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    for (int i = 0; i < static_cast<int>(params.size()); ++i) {
      const Value& v = params[i];
      int rc = SQLITE_OK;
      if (const auto* n = std::get_if<std::int64_t>(&v))
        rc = sqlite3_bind_int64(s, i + 1, *n);
      else if (const auto* d = std::get_if<double>(&v))
        rc = sqlite3_bind_double(s, i + 1, *d);
      else if (const auto* t = std::get_if<std::string>(&v))
        rc = sqlite3_bind_text(s, i + 1, t->data(), static_cast<int>(t->size()), SQLITE_STATIC);
      else
        rc = sqlite3_bind_null(s, i + 1);
      if (rc != SQLITE_OK) Fail(db_.get(), "cannot bind a value to", sql);
    }
    return s;
  }

  static bool SingleBaseTable(const std::vector<ColumnInfo>& columns) {
    if (columns.empty()) return false;
    for (const ColumnInfo& c : columns)
      if (c.base_table.empty() || c.base_table != columns.front().base_table) return false;
    return true;
  }

  DbPtr db_;
  std::unordered_map<std::string, StmtPtr> prepared_;
  const std::string* last_bound_sql_ = nullptr;  // a key of prepared_, which never moves
  sqlite3_stmt* last_bound_ = nullptr;
  std::shared_ptr<RecentStatements> recent_ = std::make_shared<RecentStatements>();
};

}  // namespace

std::unique_ptr<DriverConnection> OpenSqlite(const std::string& path) {
  return std::make_unique<SqliteConnection>(path);
}

}  // namespace lkrva::data
