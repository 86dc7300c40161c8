// lkrva: the command-line host of the trajectory computation.
//
// Exit codes: 0 success; 1 the run failed (the user has been told why);
// 2 a usage error or input that cannot be read.
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/compute_command.hpp"
#include "cli/demo_command.hpp"
#include "cli/export_command.hpp"
#include "cli/import_command.hpp"
#include "cli/krva_host.hpp"
#include "cli/plot_command.hpp"
#include "cli/register_command.hpp"
#include "csv/survey_csv.hpp"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kColumnsHelp =
    "column names, e.g. JS=Depth,JXJ=Inc (default: JS,JXJ,FWJ,CZJS,BHJ,BHFW,X,Y,JYQL)";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "lkrva: borehole trajectories by the radius-of-curvature method.\n"
      "Start with `lkrva demo`; every subcommand has --help with examples."};
  app.require_subcommand(1);

  // compute: a CSV survey, no database.
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
      "table", "Compute every station of a survey table and write the results into it");
  table_cmd->footer(
      "Fills missing inclination/azimuth readings, then writes CZJS, X, Y, BHFW, BHJ and JYQL\n"
      "into every record. Without --declination the declination is asked for.\n\n"
      "Example:\n  lkrva table --connection \"Provider=SQLite;Data "
      "Source=lkrva-demo/survey.sqlite\" "
      "--table survey --declination -2.5");
  CLI::App* record_cmd = app.add_subcommand(
      "record", "Compute down to one depth of a survey table and print that station's values");
  record_cmd->add_option("--depth", host.depth, "measured depth of the station wanted (exact)")
      ->required();
  record_cmd->add_flag("--csv", host.csv, "print JXJ,FWJ,CZJS,BHJ,BHFW,X,Y,JYQL as CSV");
  record_cmd->footer(
      "Prints the station's JXJ, FWJ, CZJS, BHJ, BHFW, X, Y and JYQL with their units\n"
      "(--csv: as CSV); exit 1 when no result came back.\n\n"
      "Example:\n  lkrva record --connection \"Provider=SQLite;Data "
      "Source=lkrva-demo/survey.sqlite\" "
      "--table survey --depth 1000.5 --declination -2.5");
  for (CLI::App* cmd : {table_cmd, record_cmd}) {
    cmd->add_option("--connection", host.connection, "connection string of the database")
        ->required();
    cmd->add_option("--table", host.table, "the survey table")->required();
    cmd->add_option("--filter", host.filter, "filter over the table (default: none)");
    cmd->add_option("--columns", host.columns, kColumnsHelp);
    cmd->add_option("--gtdjs", host.gtdjs, "reference length of the curvature (default 30)");
    cmd->add_option("--declination", declination,
                    "answer to the declination prompt; without it the prompt is shown");
    cmd->add_flag("--quiet", host.quiet, "no progress line");
    cmd->add_flag("--gui", host.gui,
                  "let the server show its windows (prompt, messages, progress) on the display");
  }

  // import and export: CSV in and out of a table.
  lkrva::cli::ImportOptions import;
  std::string import_columns;
  CLI::App* import_cmd = app.add_subcommand("import", "Load a CSV survey into a database table");
  import_cmd->add_option("FILE", import.path, "survey CSV (as for compute)")->required();
  import_cmd->add_option("--connection", import.connection, "connection string")->required();
  import_cmd->add_option("--table", import.table, "the table to fill")->required();
  import_cmd->add_option("--columns", import_columns, kColumnsHelp);
  import_cmd->add_flag("--create", import.create,
                       "create the table first (key ID, the nine columns, index on the depth)");
  import_cmd->footer(
      "Example:\n  touch well.sqlite && lkrva import survey.csv --connection "
      "\"Provider=SQLite;Data Source=well.sqlite\" --table survey --create");

  lkrva::cli::ExportOptions export_options;
  std::string export_columns;
  CLI::App* export_cmd =
      app.add_subcommand("export", "Write a survey table with its results as CSV");
  export_cmd->add_option("--connection", export_options.connection, "connection string")
      ->required();
  export_cmd->add_option("--table", export_options.table, "the table")->required();
  export_cmd->add_option("--filter", export_options.filter, "SQL condition (default: all rows)");
  export_cmd->add_option("--columns", export_columns, kColumnsHelp);
  export_cmd->add_option("--out", export_options.out, "CSV file (default: standard output)");

  // plot: three views of a trajectory.
  lkrva::cli::PlotCommandOptions plot;
  std::string plot_columns;
  CLI::App* plot_cmd = app.add_subcommand(
      "plot", "Draw plan view, vertical section and curvature to SVG, PNG or PDF");
  plot_cmd->add_option("FILE", plot.csv_path, "a survey CSV (otherwise --connection/--table)");
  plot_cmd->add_option("--connection", plot.connection, "connection string of a computed table");
  plot_cmd->add_option("--table", plot.table, "the computed table");
  plot_cmd->add_option("--filter", plot.filter, "SQL condition on the table");
  plot_cmd->add_option("--columns", plot_columns, kColumnsHelp);
  plot_cmd->add_option("--declination", plot.declination, "for a CSV survey (default 0)");
  plot_cmd->add_option("--gtdjs", plot.gtdjs, "curvature reference length (default 30)");
  plot_cmd->add_option("--azimuth", plot.azimuth,
                       "azimuth of the vertical section (default: the closure azimuth)");
  plot_cmd->add_option("--title", plot.title, "title (default: the file or table name)");
  plot_cmd->add_option("--unit", plot.depth_unit, "depth unit for the labels: m or ft")
      ->check(CLI::IsMember({"m", "ft"}));
  plot_cmd->add_option("--out", plot.out, "FILE.svg, FILE.png or FILE.pdf")->required();
  plot_cmd->footer(
      "Examples:\n  lkrva plot data/surveys/deviation-m.csv --declination -2.5 --out well.svg\n"
      "  lkrva plot --connection \"Provider=SQLite;Data Source=lkrva-demo/survey.sqlite\" "
      "--table survey --out well.png");

  // demo: the whole job on a real survey.
  lkrva::cli::DemoOptions demo;
  CLI::App* demo_cmd = app.add_subcommand(
      "demo", "Import a real well's survey into SQLite, compute it, print it and plot it");
  demo_cmd->add_option("--dir", demo.dir, "folder to make it in (default ./lkrva-demo)");
  demo_cmd->add_flag("--quiet", demo.quiet, "no progress line");

  // register and unregister: LKRVA.KRVA in the registry file.
  std::optional<std::string> module;
  CLI::App* register_cmd =
      app.add_subcommand("register", "Register LKRVA.KRVA (and its type library) in the registry");
  CLI::App* unregister_cmd =
      app.add_subcommand("unregister", "Remove LKRVA.KRVA from the registry");
  for (CLI::App* cmd : {register_cmd, unregister_cmd}) {
    cmd->add_option("--module", module, "the library (default: the one lkrva uses)");
    cmd->footer(
        "The registry is ${XDG_DATA_HOME:-~/.local/share}/lkrva/registry.reg, or the file "
        "LKRVA_REGISTRY names; see docs/registration.md.");
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
    if (table_cmd->parsed()) return lkrva::cli::RunTable(host, stdout);
    if (record_cmd->parsed()) return lkrva::cli::RunRecord(host, stdout);
    if (import_cmd->parsed()) {
      import.columns = lkrva::cli::ParseSurveyColumns(import_columns);
      const lkrva::cli::ImportResult r = lkrva::cli::RunImport(import);
      std::printf("imported %zu rows into %s (%zu with a missing reading)\n", r.rows,
                  import.table.c_str(), r.missing_readings);
    }
    if (export_cmd->parsed()) {
      export_options.columns = lkrva::cli::ParseSurveyColumns(export_columns);
      const std::size_t n = lkrva::cli::RunExport(export_options, stdout);
      if (!export_options.out.empty() && export_options.out != "-") {
        std::printf("exported %zu rows to %s\n", n, export_options.out.c_str());
      }
    }
    if (plot_cmd->parsed()) {
      if (plot.csv_path.empty() == (plot.connection.empty() || plot.table.empty())) {
        throw std::invalid_argument("plot: give either a survey CSV or --connection and --table");
      }
      plot.columns = lkrva::cli::ParseSurveyColumns(plot_columns);
      lkrva::cli::RunPlot(plot);
      std::printf("wrote %s\n", plot.out.c_str());
    }
    if (demo_cmd->parsed()) return lkrva::cli::RunDemo(demo, stdout);
    if (register_cmd->parsed()) return lkrva::cli::RunRegister(module, stdout, stderr);
    if (unregister_cmd->parsed()) return lkrva::cli::RunUnregister(module, stdout, stderr);
    return 0;
  } catch (const std::invalid_argument& e) {
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
