// `lkrva plot`: the trajectory plots of a CSV survey or a computed table.
#pragma once

#include <optional>
#include <string>

#include "cli/import_command.hpp"

namespace lkrva::cli {

struct PlotCommandOptions {
  /// The survey CSV; when set, the trajectory is computed from it as
  /// `lkrva compute` does, with `declination` and `gtdjs`.
  std::string csv_path;
  double declination = 0;
  /// Otherwise the computed table: connection string, table, filter (an SQL
  /// condition) and column names. Its result columns are read as they are.
  std::string connection;
  std::string table;
  std::string filter;
  SurveyColumns columns;

  double gtdjs = 30;              ///< curvature reference length (computes CSV, labels the axis)
  std::optional<double> azimuth;  ///< vertical section azimuth; default the closure azimuth
  std::string title;              ///< default: the CSV file name or the table name
  std::string depth_unit = "m";   ///< "m" or "ft"
  std::string out;                ///< FILE.svg, FILE.png or FILE.pdf
};

/// Reads the survey, draws the plots and writes `out`. Throws
/// csv::SurveyFileError for a bad CSV, std::invalid_argument for bad options
/// and names, plot::PlotError or std::runtime_error otherwise; a table not
/// computed yet is an error that says to run `lkrva table` first.
void RunPlot(const PlotCommandOptions& options);

}  // namespace lkrva::cli
