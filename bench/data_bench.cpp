// Whole-table write-back speed: read the main statement to its end and post
// six result columns to every record in one transaction, through our data
// layer and through a bare SQLite C loop (prepared UPDATE by rowid).
//
// SQLite runs always. Through ODBC (rows/s only), set ODBCSYSINI to a
// folder whose odbcinst.ini names the drivers [SQLite3] and
// [PostgreSQL Unicode], and LKRVA_BENCH_PG_PORT to a PostgreSQL on
// 127.0.0.1 (user postgres, trust) for the PostgreSQL case.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "data/database.hpp"
#include "data/query.hpp"
#include "text/number_text.hpp"

namespace {

constexpr int kSqliteRows = 100000;
constexpr int kOdbcRows = 10000;
const char* const kColumns[] = {"CZJS", "X", "Y", "BHFW", "BHJ"};

// A survey file with `rows` stations, INTEGER PRIMARY KEY and a depth index.
std::string MakeSurveyFile(int rows) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lkrva_data_bench_" + std::to_string(rows) + ".db"))
                               .string();
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "create table cxb (id integer primary key, JS real, JXJ real, FWJ real, CZJS real, "
               "X real, Y real, BHFW real, BHJ real, JYQL real);"
               "create index cxb_js on cxb (JS); begin",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "insert into cxb (JS, JXJ, FWJ) values (?, ?, ?)", -1, &ins, nullptr);
  for (int i = 0; i < rows; ++i) {
    sqlite3_bind_double(ins, 1, 10.0 * (rows - i));  // stored out of depth order
    sqlite3_bind_double(ins, 2, 1 + i % 7);
    sqlite3_bind_double(ins, 3, i % 360);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return path;
}

// What a whole-table run does to the survey, through the layer.
void RunThroughLayer(benchmark::State& state, const std::string& cs, int rows) {
  lkrva::data::Database db(cs, '.');
  double salt = 0;
  for (auto _ : state) {
    salt += 1;
    lkrva::data::Query q(db);
    q.Open("select * from cxb order by JS");
    db.Begin();
    q.DeferPosts(true);  // as a run does: batches where the database takes them
    for (; !q.Eof(); q.Next()) {
      const double js = q.FieldByName("JS").AsDouble();
      q.Edit();
      for (const char* column : kColumns) {
        // As a run writes its results: the number-to-text form, whose
        // number WriteNumber knows without reading the text back.
        char text[lkrva::text::kMaxNumberText];
        std::optional<double> number;
        char* end = lkrva::text::WriteNumber(text, js * 0.98 + salt, '.', number);
        q.FieldByName(column).SetNumberText(
            std::string_view(text, static_cast<std::size_t>(end - text)), number);
      }
      q.FieldByName("JYQL").SetDouble(salt);
      q.Post();
    }
    q.SendDeferredPosts();
    db.Commit();
    if (q.RecordCount() != rows) state.SkipWithError("wrong row count");
  }
  state.counters["rows/s"] =
      benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Layer_Sqlite(benchmark::State& state) {
  static const std::string path = MakeSurveyFile(kSqliteRows);
  RunThroughLayer(state, "Provider=SQLite;Data Source=" + path, kSqliteRows);
}

void BM_Bare_Sqlite(benchmark::State& state) {
  static const std::string path = MakeSurveyFile(kSqliteRows);
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* sel = nullptr;
  sqlite3_stmt* upd = nullptr;
  sqlite3_prepare_v2(db, "select rowid, * from cxb order by JS", -1, &sel, nullptr);
  sqlite3_prepare_v2(
      db, "update cxb set CZJS = ?, X = ?, Y = ?, BHFW = ?, BHJ = ?, JYQL = ? where rowid = ?", -1,
      &upd, nullptr);
  double salt = 0;
  for (auto _ : state) {
    salt += 1;
    sqlite3_exec(db, "begin immediate", nullptr, nullptr, nullptr);
    while (sqlite3_step(sel) == SQLITE_ROW) {
      const double js = sqlite3_column_double(sel, 2);
      for (int c = 1; c <= 5; ++c) sqlite3_bind_double(upd, c, js * 0.98 + salt);
      sqlite3_bind_double(upd, 6, salt);
      sqlite3_bind_int64(upd, 7, sqlite3_column_int64(sel, 0));
      if (sqlite3_step(upd) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
      sqlite3_reset(upd);
    }
    sqlite3_reset(sel);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(sel);
  sqlite3_finalize(upd);
  sqlite3_close(db);
  state.counters["rows/s"] =
      benchmark::Counter(kSqliteRows, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Layer_OdbcSqlite(benchmark::State& state) {
  static const std::string path = MakeSurveyFile(kOdbcRows);
  try {
    RunThroughLayer(state, "Driver=SQLite3;Database=" + path + ";", kOdbcRows);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

void BM_Layer_OdbcPostgres(benchmark::State& state) {
  const char* port = std::getenv("LKRVA_BENCH_PG_PORT");
  if (!port) {
    state.SkipWithError("LKRVA_BENCH_PG_PORT is not set");
    for (auto _ : state) {
    }
    return;
  }
  try {
    const std::string cs = std::string("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=") +
                           port + ";Database=postgres;Uid=postgres;Pwd=;";
    {
      lkrva::data::Database setup(cs, '.');
      setup.Driver().Execute("drop table if exists cxb", {});
      setup.Driver().Execute(
          "create table cxb (id integer primary key, JS float8, JXJ float8, FWJ float8, CZJS "
          "float8, "
          "X float8, Y float8, BHFW float8, BHJ float8, JYQL float8)",
          {});
      setup.Driver().Execute("create index cxb_js on cxb (JS)", {});
      setup.Driver().Execute(
          "insert into cxb (id, JS, JXJ, FWJ) select i, 10.0 * i, 1 + i % 7, i % 360 from "
          "generate_series(1, " +
              std::to_string(kOdbcRows) + ") i",
          {});
    }
    RunThroughLayer(state, cs, kOdbcRows);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

}  // namespace

BENCHMARK(BM_Bare_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_Layer_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_Layer_OdbcSqlite)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Layer_OdbcPostgres)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_MAIN();
