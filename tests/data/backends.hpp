// The three databases the data tests run on, and a fixture that gives each
// test a fresh table on one of them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/database.hpp"

namespace lkrva::data::testing {

enum class Backend { kSqlite, kSqliteOdbc, kPostgres };

std::vector<Backend> AllBackends();
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

/// A fresh, empty SQLite file at a path of the test's own.
std::string FreshSqliteFile(const std::string& name);

/// Gives each test a connection string to a database of its backend and a
/// table name of its own (dropped first if a former run left it). A backend
/// that is not installed skips the test, or fails it when CI=true.
class BackendTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;

  /// A new connection reading and writing numbers with `separator`.
  std::unique_ptr<Database> Connect(char separator = '.');
  /// Runs a setup statement without a result.
  void Exec(const std::string& sql);
  /// Creates table_ (id key, js, jxj, fwj, note) and inserts `rows`, each
  /// "id, js, jxj, fwj, note" in SQL.
  void MakeSurvey(const std::vector<std::string>& rows, bool with_key = true);

  std::string cs_;
  std::string table_;
  std::unique_ptr<Database> setup_;
};

}  // namespace lkrva::data::testing
