// SQLite survey tables for run tests, made and read with the C library.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lkrva::runs::testing {

/// One row of the survey table as the tests see it.
struct Row {
  std::optional<double> JS, JXJ, FWJ, CZJS, X, Y, BHFW, BHJ, JYQL;
};

/// A fresh database file with a table `survey` (id INTEGER PRIMARY KEY and
/// the nine pinyin columns, REAL), removed at the end.
class SurveyDb {
 public:
  explicit SurveyDb(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() / ("lkrva-runs-" + name + ".sqlite");
    std::filesystem::remove(path_);
    Exec(
        "create table survey (id integer primary key, JS real, JXJ real, FWJ real, CZJS real, "
        "X real, Y real, BHFW real, BHJ real, JYQL real)");
  }
  ~SurveyDb() { std::filesystem::remove(path_); }

  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_.string(); }

  void Exec(const std::string& sql) {
    sqlite3* db = Open();
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(sql + ": " + message);
  }

  /// Adds readings; a missing optional is NULL.
  void Add(std::optional<double> js, std::optional<double> jxj, std::optional<double> fwj) {
    // %.17g keeps every bit.
    auto exact = [&](std::optional<double> x) {
      if (!x) return std::string("null");
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.17g", *x);
      return std::string(buf);
    };
    Exec("insert into survey (JS, JXJ, FWJ) values (" + exact(js) + "," + exact(jxj) + "," +
         exact(fwj) + ")");
  }

  /// Every row by id.
  std::vector<Row> Rows() {
    sqlite3* db = Open();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "select JS, JXJ, FWJ, CZJS, X, Y, BHFW, BHJ, JYQL from survey order by id",
                       -1, &st, nullptr);
    std::vector<Row> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
      Row r;
      std::optional<double>* cols[] = {&r.JS, &r.JXJ,  &r.FWJ, &r.CZJS, &r.X,
                                       &r.Y,  &r.BHFW, &r.BHJ, &r.JYQL};
      for (int c = 0; c < 9; ++c) {
        if (sqlite3_column_type(st, c) != SQLITE_NULL) *cols[c] = sqlite3_column_double(st, c);
      }
      rows.push_back(r);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
  }

 private:
  sqlite3* Open() {
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open");
    return db;
  }
  std::filesystem::path path_;
};

}  // namespace lkrva::runs::testing
