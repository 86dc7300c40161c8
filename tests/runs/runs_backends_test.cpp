// The two runs on every backend: SQLite, SQLite through ODBC, PostgreSQL
// through ODBC.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "backends.hpp"
#include "data/query.hpp"
#include "pinyin_parameters.hpp"
#include "recording_ui.hpp"
#include "runs/single_depth_run.hpp"
#include "runs/whole_table_run.hpp"
#include "text/number_text.hpp"
#include "trajectory/accumulation.hpp"
#include "trajectory/interpolation.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::runs {
namespace {

class RunsOnBackend : public data::testing::BackendTest {};

struct Result {
  double JXJ, FWJ, CZJS, X, Y, BHFW, BHJ, JYQL;
};

TEST_P(RunsOnBackend, whole_table_and_single_depth_runs_agree_with_the_engine) {
  Exec("CREATE TABLE " + table_ +
       " (id INTEGER PRIMARY KEY, JS DOUBLE PRECISION, JXJ DOUBLE PRECISION, FWJ DOUBLE PRECISION,"
       " CZJS DOUBLE PRECISION, X DOUBLE PRECISION, Y DOUBLE PRECISION, BHFW DOUBLE PRECISION,"
       " BHJ DOUBLE PRECISION, JYQL DOUBLE PRECISION)");
  Exec("INSERT INTO " + table_ +
       " (id, JS, JXJ, FWJ) VALUES (1, 100, 2, 30), (2, 250.5, 6, 41),"
       " (3, 400, NULL, 50), (4, 560.25, 14, 355), (5, 700, 18, 8)");

  const params::ParameterSet p = testing::PinyinParameters(cs_, table_, -2.5);
  trajectory::StationArrays stations;
  data::DataState data;
  testing::RecordingUi ui;
  RunContext ctx{p, stations, data, ui};
  RunWholeTable(ctx, 30);
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  ASSERT_EQ(ui.progress.size(), 1u);
  EXPECT_EQ(ui.progress[0].steps, 5);

  // The engine's own walk over the same survey, the gap filled as the run fills it.
  std::vector<trajectory::PartialRecord> rows = {
      {100, 2, 30}, {250.5, 6, 41}, {400, std::nullopt, 50}, {560.25, 14, 355}, {700, 18, 8}};
  trajectory::FillMissingReadings(rows);
  auto fifteen = [](double v) { return *text::ParseNumber(text::FormatNumber(v, '.'), '.'); };
  // The filled pair goes into the table as 15-digit text, and the run
  // computes with it as stored.
  rows[2].JXJ = fifteen(*rows[2].JXJ);
  rows[2].FWJ = fifteen(*rows[2].FWJ);
  std::vector<trajectory::SurveyRecord> records;
  for (const auto& r : rows) records.push_back({r.JS, *r.JXJ, *r.FWJ});
  const trajectory::StationArrays expected = trajectory::LoadStations(records, -2.5);
  trajectory::TrajectoryWalker walk(expected, 30);

  std::unique_ptr<data::Database> db = Connect();
  data::Query q(*db);
  q.Open("SELECT * FROM " + table_ + " ORDER BY JS");
  for (const trajectory::SurveyRecord& r : records) {
    SCOPED_TRACE(r.JS);
    const trajectory::TrajectoryTotals& t = walk.Advance();
    EXPECT_EQ(q.FieldByName("JXJ").AsDouble(), fifteen(r.JXJ));
    EXPECT_EQ(q.FieldByName("FWJ").AsDouble(), fifteen(r.FWJ));
    EXPECT_EQ(q.FieldByName("CZJS").AsDouble(), fifteen(t.CZJS));
    EXPECT_EQ(q.FieldByName("X").AsDouble(), fifteen(t.X));
    EXPECT_EQ(q.FieldByName("Y").AsDouble(), fifteen(t.Y));
    EXPECT_EQ(q.FieldByName("BHFW").AsDouble(), fifteen(t.BHFW));
    EXPECT_EQ(q.FieldByName("BHJ").AsDouble(), fifteen(trajectory::ClosureDistance(t.X, t.Y)));
    // The curvature goes in as a double; the SQLite ODBC driver carries
    // doubles through text of 15 significant digits, the others keep every bit.
    if (GetParam() == data::testing::Backend::kSqliteOdbc) {
      EXPECT_EQ(fifteen(q.FieldByName("JYQL").AsDouble()), fifteen(t.JYQL));
    } else {
      EXPECT_EQ(q.FieldByName("JYQL").AsDouble(), t.JYQL);
    }

    const std::optional<StationResult> one = RunSingleDepth(ctx, r.JS, 30);
    ASSERT_TRUE(one) << (ui.messages.empty() ? std::string() : ui.messages.back().text);
    EXPECT_EQ(fifteen(one->CZJS), fifteen(t.CZJS));
    EXPECT_EQ(one->JYQL, t.JYQL);  // computed, never stored
    EXPECT_EQ(one->FWJ, q.FieldByName("FWJ").AsDouble());
    q.Next();
  }
  EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(backends, RunsOnBackend, ::testing::ValuesIn(data::testing::AllBackends()),
                         data::testing::BackendName);

}  // namespace
}  // namespace lkrva::runs
