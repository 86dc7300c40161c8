// lkrva: the command-line host of the trajectory computation.
//
// Exit codes: 0 success; 1 the run failed (the user has been told why);
// 2 a usage error or input that cannot be read.
#include <cstdio>
#include <exception>

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include "cli/compute_command.hpp"
#include "cli/krva_host.hpp"
#include "csv/survey_csv.hpp"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"lkrva: borehole trajectories by the radius-of-curvature method"};
  app.require_subcommand(1);

  lkrva::cli::ComputeOptions compute;
  CLI::App* compute_cmd = app.add_subcommand(
      "compute", "Compute the trajectory of a CSV survey and write it as CSV to standard output");
  compute_cmd->add_option("FILE", compute.path, "survey CSV with depth, inclination, azimuth")
      ->required();
  compute_cmd->add_option("--declination", compute.declination,
                          "magnetic declination in degrees, added to every azimuth (default 0)");
  compute_cmd->add_option("--gtdjs", compute.gtdjs,
                          "reference length of the curvature, in depth units (default 30)");
  compute_cmd->footer(
      "Input: a header naming JS,JXJ,FWJ (or MD,INC,AZI; any case, units like [m] ignored);\n"
      "an empty inclination or azimuth cell is a missing reading, interpolated in depth.\n"
      "Output: JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL, one row per survey row.\n\n"
      "Example:\n  lkrva compute data/surveys/deviation-m.csv --declination -2.5 > trajectory.csv");

  // table and record: the tool as a host of the KRVA server library.
  lkrva::cli::KrvaHostOptions host;
  std::string declination;
  CLI::App* table_cmd = app.add_subcommand(
      "table", "Hand the survey table to the KRVA server and compute every station into it");
  CLI::App* record_cmd = app.add_subcommand(
      "record", "Hand the survey table to the KRVA server and compute one depth, printed as CSV");
  record_cmd->add_option("--depth", host.depth, "measured depth of the station wanted")->required();
  for (CLI::App* cmd : {table_cmd, record_cmd}) {
    cmd->add_option("--connection", host.connection, "connection string of the database");
    cmd->add_option("--table", host.table, "the survey table");
    cmd->add_option("--filter", host.filter, "filter over the table (default: none)");
    cmd->add_option("--columns", host.columns,
                    "column names, e.g. JS=Depth,JXJ=Inc (default: the names JS,JXJ,FWJ,CZJS,"
                    "BHJ,BHFW,X,Y,JYQL)");
    cmd->add_option("--gtdjs", host.gtdjs, "reference length of the curvature (default 30)");
    cmd->add_option("--declination", declination,
                    "answer to the declination prompt; without it the prompt is shown");
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kExitUsage;
  }

  try {
    if (compute_cmd->parsed()) lkrva::cli::RunCompute(compute, stdout);
    for (CLI::App* cmd : {table_cmd, record_cmd}) {
      if (cmd->parsed() && cmd->count("--declination") > 0) host.declination = declination;
    }
    if (table_cmd->parsed()) return lkrva::cli::RunTable(host);
    if (record_cmd->parsed()) return lkrva::cli::RunRecord(host, stdout);
    return 0;
  } catch (const lkrva::cli::UsageError& e) {
    std::fprintf(stderr, "lkrva: %s\n", e.what());
    return kExitUsage;
  } catch (const lkrva::csv::SurveyFileError& e) {
    std::fprintf(stderr, "lkrva: %s\n", e.what());  // never throws, even on a full disk
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lkrva: %s\n", e.what());  // never throws, even on a full disk
    return kExitFailed;
  }
}
