#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pinyin_parameters.hpp"
#include "recording_ui.hpp"
#include "runs/single_depth_run.hpp"
#include "runs/whole_table_run.hpp"
#include "survey_db.hpp"
#include "text/number_text.hpp"
#include "trajectory/accumulation.hpp"
#include "trajectory/increments.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::runs {
namespace {

using testing::RecordingUi;
using testing::Row;
using testing::SurveyDb;

params::ParameterSet PinyinParameters(const SurveyDb& db, double cpj = 0) {
  return testing::PinyinParameters(db.ConnectionString(), "survey", cpj);
}

/// One process's module-wide state, for the runs to work on.
struct Module {
  explicit Module(params::ParameterSet p) : params(std::move(p)) {}
  params::ParameterSet params;
  trajectory::StationArrays stations;
  data::DataState data;
  RecordingUi ui;
  RunContext Context() { return {params, stations, data, ui}; }
  void Table(double gtdjs = 30) {
    RunContext ctx = Context();
    RunWholeTable(ctx, gtdjs);
  }
  std::optional<StationResult> Record(double js, double gtdjs = 30) {
    RunContext ctx = Context();
    return RunSingleDepth(ctx, js, gtdjs);
  }
};

TEST(whole_table_run, writes_every_station_and_counts_them) {
  SurveyDb db("worked");
  db.Add(100, 0, 0);
  db.Add(200, 10, 45);
  db.Add(300, 20, 60);
  Module m(PinyinParameters(db));
  m.Table();
  EXPECT_TRUE(m.ui.messages.empty());
  ASSERT_EQ(m.ui.progress.size(), 1u);
  EXPECT_EQ(m.ui.progress[0].maximum, 3);
  EXPECT_EQ(m.ui.progress[0].steps, 3);
  EXPECT_EQ(m.ui.progress[0].finished, "计算完毕！");
  EXPECT_TRUE(m.ui.progress[0].closed);
  EXPECT_EQ(m.stations.size(), 0u);
  EXPECT_FALSE(m.data.ADOConn);

  const std::vector<Row> rows = db.Rows();
  EXPECT_EQ(*rows[0].CZJS, 100);
  EXPECT_EQ(*rows[0].BHFW, 0);
  EXPECT_NEAR(*rows[1].CZJS, 199.493077, 1e-6);
  EXPECT_NEAR(*rows[1].X, 7.836818, 1e-6);
  EXPECT_NEAR(*rows[1].Y, 3.246116, 1e-6);
  EXPECT_NEAR(*rows[1].BHFW, 22.5, 1e-6);
  EXPECT_NEAR(*rows[1].BHJ, 8.482511, 1e-6);
  EXPECT_NEAR(*rows[1].JYQL, 3.222483, 1e-6);
  EXPECT_NEAR(*rows[2].CZJS, 295.963107, 1e-6);
  EXPECT_NEAR(*rows[2].BHFW, 45.202878, 1e-6);
  EXPECT_NEAR(*rows[2].JYQL, 3.218151, 1e-6);
}

TEST(whole_table_run, text_columns_hold_fifteen_digits_and_curvature_the_double) {
  SurveyDb db("digits");
  db.Add(100, 2, 30);
  db.Add(137.3, 3.7, 31.9);
  Module m(PinyinParameters(db, -2.5));
  m.Table();
  // The same walk done directly.
  const std::vector<trajectory::SurveyRecord> records = {{100, 2, 30}, {137.3, 3.7, 31.9}};
  const trajectory::StationArrays s = trajectory::LoadStations(records, -2.5);
  trajectory::TrajectoryTotals t;
  const std::vector<Row> rows = db.Rows();
  for (std::size_t k = 1; k <= 2; ++k) {
    trajectory::AdvanceStation(s, k, trajectory::ComputeIncrements(s, k), 30, t);
    const Row& r = rows[k - 1];
    auto fifteen = [](double v) { return std::stod(text::FormatNumber(v, '.')); };
    EXPECT_EQ(*r.CZJS, fifteen(t.CZJS));
    EXPECT_EQ(*r.X, fifteen(t.X));
    EXPECT_EQ(*r.Y, fifteen(t.Y));
    EXPECT_EQ(*r.BHFW, fifteen(t.BHFW));
    EXPECT_EQ(*r.BHJ, fifteen(trajectory::ClosureDistance(t.X, t.Y)));
    EXPECT_EQ(*r.JYQL, t.JYQL);  // every bit
  }
}

TEST(whole_table_run, empty_table_and_filter_excluding_everything) {
  for (const char* filter : {"", "JS > 1000"}) {
    SCOPED_TRACE(filter);
    SurveyDb db("empty");
    if (*filter) db.Add(100, 1, 1);
    Module m(PinyinParameters(db));
    m.params.FilterStr = filter;
    m.Table();
    ASSERT_EQ(m.ui.messages.size(), 1u);
    EXPECT_EQ(m.ui.messages[0].text, "数据初始化失败！");
    EXPECT_EQ(m.ui.messages[0].title, "错误");
    EXPECT_EQ(m.ui.messages[0].icon, 0x10u);
    EXPECT_TRUE(m.ui.progress.empty());
    for (const Row& r : db.Rows()) EXPECT_FALSE(r.CZJS);
  }
}

TEST(whole_table_run, unknown_table_is_told_once_as_initialisation_failure) {
  SurveyDb db("notable");
  Module m(PinyinParameters(db));
  m.params.Tablename = "no_such_table";
  m.Table();
  ASSERT_EQ(m.ui.messages.size(), 1u);
  EXPECT_EQ(m.ui.messages[0].text, "数据初始化失败！");
  EXPECT_EQ(m.ui.messages[0].title, "警告");
  EXPECT_EQ(m.ui.messages[0].icon, 0x30u);
}

TEST(whole_table_run, other_failures_are_told_once_with_their_reason) {
  SurveyDb db("badcolumn");
  db.Add(100, 1, 1);
  Module m(PinyinParameters(db));
  m.params.JXJ = "NoSuchColumn";
  m.Table();
  ASSERT_EQ(m.ui.messages.size(), 1u);
  EXPECT_EQ(m.ui.messages[0].title, "错误");
  EXPECT_EQ(m.ui.messages[0].icon, 0x10u);
  EXPECT_EQ(m.ui.messages[0].text.rfind("计算失败：", 0), 0u) << m.ui.messages[0].text;
  EXPECT_NE(m.ui.messages[0].text.find("NoSuchColumn"), std::string::npos);
  EXPECT_TRUE(m.ui.progress.empty());
  EXPECT_FALSE(m.data.ADOConn);
  EXPECT_FALSE(m.data.MainQuery);
}

TEST(whole_table_run, missing_result_column_takes_the_write_back_failure_path) {
  SurveyDb db("nocolumn");
  db.Add(100, 1, 1);
  Module m(PinyinParameters(db));
  m.params.JYQL = "NoSuchColumn";
  m.Table();
  ASSERT_EQ(m.ui.messages.size(), 1u);
  EXPECT_EQ(m.ui.messages[0].title, "警告");
  ASSERT_EQ(m.ui.progress.size(), 1u);
  EXPECT_TRUE(m.ui.progress[0].closed);
  EXPECT_FALSE(db.Rows()[0].CZJS);  // the record's other columns were not posted either
}

TEST(whole_table_run, failing_write_back_keeps_earlier_records_and_stops) {
  SurveyDb db("writefail");
  for (int i = 1; i <= 5; ++i) db.Add(100.0 * i, 2.0 * i, 10);
  db.Exec("update survey set CZJS = -1");
  // The fourth record refuses its results.
  db.Exec(
      "create trigger refuse before update of CZJS on survey when new.JS = 400 "
      "begin select raise(abort, 'value out of range'); end");
  Module m(PinyinParameters(db));
  m.Table();
  ASSERT_EQ(m.ui.messages.size(), 1u);
  EXPECT_EQ(m.ui.messages[0].text,
            "数据表中的数据填写不正确，计算的值超出实际的范围,请检查后重新计算。");
  EXPECT_EQ(m.ui.messages[0].title, "警告");
  EXPECT_EQ(m.ui.messages[0].icon, 0x30u);
  ASSERT_EQ(m.ui.progress.size(), 1u);
  EXPECT_TRUE(m.ui.progress[0].open_at_message);
  EXPECT_TRUE(m.ui.progress[0].closed);
  EXPECT_EQ(m.ui.progress[0].finished, "");
  EXPECT_EQ(m.stations.size(), 0u);
  const std::vector<Row> rows = db.Rows();
  for (int i = 0; i < 3; ++i) EXPECT_GT(*rows[i].CZJS, 0) << i;
  for (int i = 3; i < 5; ++i) EXPECT_EQ(*rows[i].CZJS, -1) << i;
}

TEST(fill_pass, incomplete_records_in_a_row_and_the_stations_see_them) {
  SurveyDb db("fill");
  db.Add(100, 10, 350);
  db.Add(150, std::nullopt, 20);  // an inclination but no azimuth
  db.Add(200, 14, std::nullopt);
  db.Add(300, 20, 10);
  Module m(PinyinParameters(db));
  m.Table();
  EXPECT_TRUE(m.ui.messages.empty());
  const std::vector<Row> rows = db.Rows();
  // 150: between 100 and 300, along the shorter arc across north.
  EXPECT_NEAR(*rows[1].JXJ, 10 + 10 * 50.0 / 200, 1e-12);
  EXPECT_NEAR(*rows[1].FWJ, 355, 1e-12);
  // 200: between the record just filled and 300.
  EXPECT_NEAR(*rows[2].JXJ, 12.5 + 7.5 * 50 / 150, 1e-12);
  EXPECT_EQ(*rows[2].FWJ, 0);  // 355 + 15·50/150 = 360, brought into [0, 360)
  // The results of this very run use the filled readings.
  Module again(PinyinParameters(db));
  again.Table();
  const std::vector<Row> second = db.Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(*rows[i].CZJS, *second[i].CZJS) << i;
    EXPECT_EQ(*rows[i].X, *second[i].X) << i;
    EXPECT_EQ(*rows[i].JYQL, *second[i].JYQL) << i;
  }
}

TEST(fill_pass, neighbours_only_among_records_passing_the_filter) {
  SurveyDb db("filtered");
  db.Exec("alter table survey add column well text");
  db.Exec("insert into survey (JS, JXJ, FWJ, well) values (100, 10, 10, 'a')");
  db.Exec("insert into survey (JS, JXJ, FWJ, well) values (150, 90, 90, 'b')");
  db.Exec("insert into survey (JS, JXJ, FWJ, well) values (200, null, null, 'a')");
  db.Exec("insert into survey (JS, JXJ, FWJ, well) values (300, 30, 30, 'a')");
  Module m(PinyinParameters(db));
  m.params.FilterStr = "well = 'a'";
  m.Table();
  EXPECT_TRUE(m.ui.messages.empty());
  const std::vector<Row> rows = db.Rows();
  EXPECT_NEAR(*rows[2].JXJ, 10 + 20 * 0.5, 1e-12);
  EXPECT_NEAR(*rows[2].FWJ, 20, 1e-12);
  EXPECT_FALSE(rows[1].CZJS);  // the other well is not computed
}

TEST(fill_pass, equal_depth_pair_reads_the_complete_record) {
  SurveyDb db("equal");
  db.Add(100, 10, 10);
  db.Add(200, 20, 20);
  db.Add(200, std::nullopt, std::nullopt);
  db.Add(300, 30, 30);
  Module m(PinyinParameters(db));
  m.Table();
  EXPECT_TRUE(m.ui.messages.empty());
  // The incomplete record's station takes the complete one's readings, so the
  // zero-length segment between them does not bend.
  const std::vector<Row> rows = db.Rows();
  EXPECT_EQ(*rows[2].JYQL, 0);
  EXPECT_EQ(*rows[2].CZJS, *rows[1].CZJS);
}

TEST(fill_pass, depth_whose_text_finds_no_record_is_filled_in_place) {
  SurveyDb db("roundtrip");
  const double awkward = 0.1 + 0.2;  // 0.30000000000000004: its 15-digit text is 0.3
  db.Add(0.1, 1, 10);
  db.Add(awkward, std::nullopt, std::nullopt);
  db.Add(0.5, 3, 30);
  Module m(PinyinParameters(db));
  m.Table();
  EXPECT_TRUE(m.ui.messages.empty());
  const std::vector<Row> rows = db.Rows();
  ASSERT_TRUE(rows[1].JXJ);
  EXPECT_NEAR(*rows[1].JXJ, 2, 1e-9);
  EXPECT_NEAR(*rows[1].FWJ, 20, 1e-9);
}

TEST(single_depth_run, agrees_with_the_whole_table_run_on_every_station) {
  SurveyDb db("agree");
  db.Add(120, 3, 40);
  db.Add(240.5, 7.25, 44.5);
  db.Add(360, std::nullopt, 52);
  db.Add(480.25, 15.5, 358);
  db.Add(600, 18, 4.75);
  Module table(PinyinParameters(db, 1.5));
  table.Table();
  const std::vector<Row> rows = db.Rows();
  for (const Row& r : rows) {
    Module m(PinyinParameters(db, 1.5));
    const std::optional<StationResult> out = m.Record(*r.JS);
    ASSERT_TRUE(out) << *r.JS;
    EXPECT_TRUE(m.ui.messages.empty());
    EXPECT_EQ(out->JXJ, *r.JXJ);
    EXPECT_EQ(out->FWJ, *r.FWJ);  // without the declination
    auto fifteen = [](double v) { return std::stod(text::FormatNumber(v, '.')); };
    EXPECT_EQ(fifteen(out->CZJS), *r.CZJS);
    EXPECT_EQ(fifteen(out->X), *r.X);
    EXPECT_EQ(fifteen(out->Y), *r.Y);
    EXPECT_EQ(fifteen(out->BHFW), *r.BHFW);
    EXPECT_EQ(fifteen(out->BHJ), *r.BHJ);
    EXPECT_EQ(out->JYQL, *r.JYQL);
    EXPECT_GT(m.stations.size(), 0u);  // left loaded
  }
}

TEST(single_depth_run, no_station_at_that_depth_and_no_records) {
  SurveyDb db("nodepth");
  db.Add(100, 1, 1);
  Module m(PinyinParameters(db));
  EXPECT_FALSE(m.Record(0));  // the surface is never the target
  EXPECT_FALSE(m.Record(150));
  ASSERT_EQ(m.ui.messages.size(), 2u);
  EXPECT_EQ(m.ui.messages[0].text, "未找到该井深的测点！");
  EXPECT_EQ(m.ui.messages[0].title, "提示");
  EXPECT_EQ(m.ui.messages[0].icon, 0x30u);

  SurveyDb empty("norecords");
  Module n(PinyinParameters(empty));
  EXPECT_FALSE(n.Record(100));
  ASSERT_EQ(n.ui.messages.size(), 1u);
  EXPECT_EQ(n.ui.messages[0].text, "数据初始化失败！");
  EXPECT_EQ(n.ui.messages[0].title, "错误");
}

TEST(single_depth_run, first_record_and_readings_when_the_text_finds_no_record) {
  SurveyDb db("firstrec");
  const double awkward = 0.1 + 0.2;
  db.Add(awkward, 2, 30);
  db.Add(1, 3, 31);
  Module m(PinyinParameters(db, -3.5));
  const std::optional<StationResult> out = m.Record(awkward);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->JXJ, 2);
  EXPECT_EQ(out->FWJ, 30);
  EXPECT_NEAR(out->BHFW, 26.5, 1e-9);
}

}  // namespace
}  // namespace lkrva::runs
