// Test databases: an SQLite file per test, reached natively or through the
// SQLite ODBC driver, and the PostgreSQL cluster the fixture started.
#include "backends.hpp"

#include <sqlite3.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lkrva::data::testing {
namespace {

// Point unixODBC at our own driver list before any test connects.
const bool kOdbcEnvironment = [] {
  setenv("ODBCSYSINI", LKRVA_TEST_ODBC_DIR, 1);
  setenv("ODBCINI", LKRVA_TEST_ODBC_DIR "/odbc.ini", 1);
  return true;
}();

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

std::string PgPort() {
  std::ifstream in(std::string(LKRVA_TEST_PG_STATE) + "/port");
  std::string port;
  in >> port;
  return port;
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  std::string out;
  for (char c : name)
    out += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
  return out;
}

}  // namespace

std::vector<Backend> AllBackends() {
  return {Backend::kSqlite, Backend::kSqliteOdbc, Backend::kPostgres};
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  switch (info.param) {
    case Backend::kSqlite:
      return "sqlite";
    case Backend::kSqliteOdbc:
      return "sqlite_odbc";
    case Backend::kPostgres:
      return "postgres";
  }
  return "unknown";
}

std::string FreshSqliteFile(const std::string& name) {
  std::filesystem::create_directories(LKRVA_TEST_WORK_DIR);
  const std::string path = std::string(LKRVA_TEST_WORK_DIR) + "/" + name + ".db";
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  sqlite3_close(db);
  return path;
}

void BackendTest::SetUp() {
  (void)kOdbcEnvironment;
  table_ = "t_" + TestName();
  if (table_.size() > 60)
    table_ = table_.substr(0, 40) + std::to_string(std::hash<std::string>{}(table_) % 100000);
  std::string missing;
  switch (GetParam()) {
    case Backend::kSqlite:
      cs_ = "Provider=SQLite;Data Source=" + FreshSqliteFile(table_);
      break;
    case Backend::kSqliteOdbc:
      if (!LKRVA_TEST_HAVE_SQLITE_ODBC) missing = "the SQLite ODBC driver (libsqliteodbc)";
      cs_ = "Driver=SQLite3;Database=" + FreshSqliteFile(table_) + ";";
      break;
    case Backend::kPostgres: {
      const std::string port = PgPort();
      if (!LKRVA_TEST_HAVE_PG_ODBC)
        missing = "the PostgreSQL ODBC driver (odbc-postgresql)";
      else if (port.empty())
        missing = "a PostgreSQL 15 cluster (postgresql; see pg-cluster.sh)";
      cs_ = "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port +
            ";Database=postgres;Uid=postgres;Pwd=;";
      break;
    }
  }
  if (!missing.empty()) {
    if (InCi()) FAIL() << "CI=true but " << missing << " is not available";
    GTEST_SKIP() << missing << " is not installed";
  }
  setup_ = Connect();
  Exec("DROP TABLE IF EXISTS " + table_);
}

std::unique_ptr<Database> BackendTest::Connect(char separator) {
  return std::make_unique<Database>(cs_, separator);
}

void BackendTest::Exec(const std::string& sql) { setup_->Driver().Execute(sql, {}); }

void BackendTest::MakeSurvey(const std::vector<std::string>& rows, bool with_key) {
  Exec("CREATE TABLE " + table_ + " (id INTEGER" + (with_key ? " PRIMARY KEY" : "") +
       ", js DOUBLE PRECISION, jxj DOUBLE PRECISION, fwj DOUBLE PRECISION, note VARCHAR(40))");
  if (GetParam() != Backend::kPostgres)
    Exec("CREATE INDEX " + table_ + "_js ON " + table_ + " (js)");
  for (const std::string& r : rows) Exec("INSERT INTO " + table_ + " VALUES (" + r + ")");
}

}  // namespace lkrva::data::testing
