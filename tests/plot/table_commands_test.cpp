// import, export and plot over a SQLite file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "cli/export_command.hpp"
#include "cli/import_command.hpp"
#include "cli/plot_command.hpp"
#include "csv/survey_csv.hpp"
#include "data/database.hpp"
#include "data/query.hpp"
#include "plot/trajectory_plot.hpp"
#include "plot_files.hpp"

namespace lkrva::cli {
namespace {

using plot::testing::FreshDir;
using plot::testing::ReadFile;
using plot::testing::WriteFile;

constexpr const char* kSurvey =
    "Well ZK07, surveyed 2021\n"
    "MD [m],INC [deg],AZI [deg]\n"
    "100,0.5,12.25\n"
    "150,,\n"
    "200,3.75,\n"
    "1234.5678,12.0001,359.9999\n";

/// An empty SQLite database file and the connection string for it.
struct Sqlite {
  std::filesystem::path dir, file;
  std::string connection;
  explicit Sqlite(const std::string& name) : dir(FreshDir(name)), file(dir / "wells.db") {
    WriteFile(file, "");  // SQLite takes an empty file as an empty database
    WriteFile(dir / "survey.csv", kSurvey);
    connection = "Provider=SQLite;Data Source=" + file.string();
  }
  ImportOptions Import(bool create = true) const {
    ImportOptions o;
    o.path = (dir / "survey.csv").string();
    o.connection = connection;
    o.table = "ZK07";
    o.create = create;
    return o;
  }
  ExportOptions Export() const {
    ExportOptions o;
    o.connection = connection;
    o.table = "ZK07";
    o.out = (dir / "out.csv").string();
    return o;
  }
  std::string Scalar(const std::string& sql) const {
    data::Database db(connection, '.');
    data::Query q(db);
    q.Open(sql);
    return q.Eof() ? "" : q.FieldByName("v").AsText();
  }
};

template <typename E, typename F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "no exception";
  return "";
}

TEST(plot_table_commands, import_then_export_keeps_values_nulls_and_rows) {
  const Sqlite db("round-trip");
  const ImportResult r = RunImport(db.Import());
  EXPECT_EQ(r.rows, 4u);
  EXPECT_EQ(r.missing_readings, 2u);
  EXPECT_EQ(db.Scalar("select count(*) as v from sqlite_master where type = 'index' and "
                      "tbl_name = 'ZK07' and sql like '%(JS)%'"),
            "1");
  EXPECT_EQ(db.Scalar("select count(*) as v from pragma_table_info('ZK07') where pk = 1 and "
                      "name = 'ID' and type = 'INTEGER'"),
            "1");

  EXPECT_EQ(RunExport(db.Export(), stdout), 4u);
  EXPECT_EQ(ReadFile(db.dir / "out.csv"),
            "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n"
            "100,0.5,12.25,,,,,,\n"
            "150,,,,,,,,\n"
            "200,3.75,,,,,,,\n"
            "1234.5678,12.0001,359.9999,,,,,,\n");

  // The exported file reads back as the same survey.
  const csv::SurveyFile back = csv::ReadSurveyCsv((db.dir / "out.csv").string());
  ASSERT_EQ(back.rows.size(), 4u);
  EXPECT_FALSE(back.rows[1].JXJ.has_value());
  EXPECT_EQ(back.rows[3].JS, 1234.5678);
}

TEST(plot_table_commands, import_appends_to_an_existing_table_and_export_filters) {
  const Sqlite db("append");
  RunImport(db.Import());
  EXPECT_EQ(RunImport(db.Import(false)).rows, 4u);
  EXPECT_EQ(db.Scalar("select count(*) as v from ZK07"), "8");

  ExportOptions o = db.Export();
  o.filter = "JS > 150 and JS < 1000";
  EXPECT_EQ(RunExport(o, stdout), 2u);
  EXPECT_EQ(ReadFile(db.dir / "out.csv"),
            "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n200,3.75,,,,,,,\n200,3.75,,,,,,,\n");
}

TEST(plot_table_commands, creating_a_table_that_exists_changes_nothing) {
  const Sqlite db("exists");
  RunImport(db.Import());
  const std::string message = MessageOf<std::runtime_error>([&] { RunImport(db.Import()); });
  EXPECT_NE(message.find("into table ZK07"), std::string::npos) << message;
  EXPECT_NE(message.find("already exists"), std::string::npos) << message;
  EXPECT_EQ(db.Scalar("select count(*) as v from ZK07"), "4");
}

TEST(plot_table_commands, names_that_are_not_plain_identifiers_are_refused) {
  for (const char* name : {"", "1well", "well-1", "a b", "t;drop table x", "\"q\"", "井"}) {
    const std::string message =
        MessageOf<std::invalid_argument>([&] { CheckIdentifier(name, "table"); });
    EXPECT_NE(message.find("table name"), std::string::npos) << message;
  }
  for (const char* name : {"_x", "ZK07", "well_1a"}) EXPECT_NO_THROW(CheckIdentifier(name, "t"));

  const Sqlite db("bad-names");
  ImportOptions import = db.Import();
  import.columns.FWJ = "azimuth(deg)";
  EXPECT_NE(MessageOf<std::invalid_argument>([&] { RunImport(import); }).find("column FWJ"),
            std::string::npos);
  import.columns.FWJ = "js";  // the same name as the depth column
  EXPECT_NE(MessageOf<std::invalid_argument>([&] { RunImport(import); }).find("same name"),
            std::string::npos);
  ExportOptions exp = db.Export();
  exp.table = "ZK07 --";
  EXPECT_THROW(RunExport(exp, stdout), std::invalid_argument);
  EXPECT_EQ(db.Scalar("select count(*) as v from sqlite_master"), "0");  // nothing touched
}

TEST(plot_table_commands, exporting_a_missing_table_says_so) {
  const Sqlite db("missing-table");
  ExportOptions o = db.Export();
  o.table = "nosuch";
  const std::string message = MessageOf<std::runtime_error>([&] { RunExport(o, stdout); });
  EXPECT_NE(message.find("cannot read table nosuch"), std::string::npos) << message;
  EXPECT_NE(message.find("no such table"), std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists(db.dir / "out.csv"));
}

TEST(plot_table_commands, plotting_a_table_not_computed_yet_says_to_run_the_table_command) {
  const Sqlite db("not-computed");
  RunImport(db.Import());
  PlotCommandOptions o;
  o.connection = db.connection;
  o.table = "ZK07";
  o.out = (db.dir / "p.png").string();
  const std::string message = MessageOf<std::runtime_error>([&] { RunPlot(o); });
  EXPECT_NE(message.find("not been computed"), std::string::npos) << message;
  EXPECT_NE(message.find("lkrva table"), std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists(db.dir / "p.png"));
}

TEST(plot_table_commands, a_computed_table_plots_with_its_null_readings_as_filled) {
  const Sqlite db("computed");
  RunImport(db.Import());
  {
    data::Database d(db.connection, '.');
    d.Write(
        "update ZK07 set CZJS = JS * 0.99, X = JS * 0.1, Y = JS * 0.05, BHFW = 26.57, "
        "BHJ = JS * 0.1118, JYQL = 1.5",
        {});
  }
  PlotCommandOptions o;
  o.connection = db.connection;
  o.table = "ZK07";
  o.title = "ZK07 钻孔";
  o.out = (db.dir / "p.png").string();
  RunPlot(o);
  const plot::testing::Image image = plot::testing::LoadPng(db.dir / "p.png");
  EXPECT_EQ(image.width, 1200);
  EXPECT_GT(image.Count(plot::kFilledColour), 0u);
}

TEST(plot_table_commands, a_csv_survey_plots_as_lkrva_compute_computes_it) {
  const Sqlite db("csv");
  PlotCommandOptions o;
  o.csv_path = (db.dir / "survey.csv").string();
  o.declination = -2.5;
  for (const char* ext : {"p.svg", "p.pdf", "p.png"}) {
    o.out = (db.dir / ext).string();
    RunPlot(o);
    EXPECT_TRUE(std::filesystem::exists(o.out));
  }
  EXPECT_GT(plot::testing::LoadPng(db.dir / "p.png").Count(plot::kFilledColour), 0u);

  o.out = (db.dir / "p.bmp").string();
  EXPECT_THROW(RunPlot(o), plot::PlotError);
  o.out = (db.dir / "p.png").string();
  o.connection = db.connection;  // a CSV and a table at once
  EXPECT_THROW(RunPlot(o), std::invalid_argument);
}

}  // namespace
}  // namespace lkrva::cli
