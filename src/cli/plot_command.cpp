// `lkrva plot`: stations from a CSV survey or a computed table, drawn.
#include "cli/plot_command.hpp"

#include <stdexcept>
#include <string>
#include <vector>

#include "cli/export_command.hpp"
#include "csv/survey_csv.hpp"
#include "plot/trajectory_plot.hpp"
#include "text/number_text.hpp"
#include "trajectory/accumulation.hpp"
#include "trajectory/interpolation.hpp"
#include "trajectory/stations.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::cli {

namespace {

/// The trajectory of a CSV survey, computed as `lkrva compute` computes it:
/// missing readings filled, rows walked in file order.
std::vector<plot::PlotStation> StationsFromCsv(const PlotCommandOptions& options) {
  csv::SurveyFile survey = csv::ReadSurveyCsv(options.csv_path);
  if (survey.rows.empty()) {
    throw csv::SurveyFileError(options.csv_path + ": no survey rows below the header");
  }
  std::vector<bool> filled;
  for (const trajectory::PartialRecord& row : survey.rows) filled.push_back(!row.complete());
  trajectory::FillMissingReadings(survey.rows);

  const std::size_t n = survey.rows.size();
  trajectory::StationArrays arrays;
  trajectory::ResetStations(arrays, n);
  for (std::size_t k = 1; k <= n; ++k) {
    const trajectory::PartialRecord& row = survey.rows[k - 1];
    trajectory::PutStation(arrays, k, {row.JS, *row.JXJ, *row.FWJ}, options.declination);
  }
  std::vector<plot::PlotStation> stations;
  stations.reserve(n);
  trajectory::TrajectoryWalker walker(arrays, options.gtdjs);
  for (std::size_t i = 0; i < n; ++i) {
    const trajectory::TrajectoryTotals& t = walker.Advance();
    const trajectory::PartialRecord& row = survey.rows[i];
    stations.push_back({row.JS, *row.JXJ, *row.FWJ, t.CZJS, t.X, t.Y, t.BHFW,
                        trajectory::ClosureDistance(t.X, t.Y), t.JYQL, filled[i]});
  }
  return stations;
}

/// The stations a computed table holds. A reading left NULL in the table
/// was filled by the run; a result left NULL means no run has been made.
std::vector<plot::PlotStation> StationsFromTable(const PlotCommandOptions& options) {
  const std::vector<SurveyTableRow> rows =
      ReadSurveyTable(options.connection, options.table, options.filter, options.columns);
  if (rows.empty()) {
    throw std::runtime_error("table " + options.table + " has no records" +
                             (options.filter.empty() ? "" : " matching the filter") + " to plot");
  }
  std::vector<plot::PlotStation> stations;
  stations.reserve(rows.size());
  for (const SurveyTableRow& row : rows) {
    if (!row[0]) {
      throw std::runtime_error("table " + options.table + " has a record without a depth (" +
                               options.columns.JS + " is NULL)");
    }
    for (std::size_t i = 3; i < row.size(); ++i) {
      if (!row[i]) {
        throw std::runtime_error(
            "table " + options.table + " has no results at depth " +
            text::FormatNumber(*row[0], '.') +
            ": it has not been computed yet; run `lkrva table --connection ... --table " +
            options.table + "` first");
      }
    }
    stations.push_back({*row[0], row[1].value_or(0), row[2].value_or(0), *row[3], *row[4], *row[5],
                        *row[6], *row[7], *row[8], !row[1] || !row[2]});
  }
  return stations;
}

}  // namespace

void RunPlot(const PlotCommandOptions& options) {
  const bool from_csv = !options.csv_path.empty();
  const bool from_table = !options.connection.empty() || !options.table.empty();
  if (from_csv == from_table) {
    throw std::invalid_argument(
        "plot either a CSV survey or a table (--connection and --table), not both or neither");
  }
  if (from_table && (options.connection.empty() || options.table.empty())) {
    throw std::invalid_argument("plotting a table needs both --connection and --table");
  }
  if (options.out.empty()) throw std::invalid_argument("no output file given");
  if (options.depth_unit != "m" && options.depth_unit != "ft") {
    throw std::invalid_argument("depth unit \"" + options.depth_unit +
                                "\" is not known; use m or ft");
  }
  plot::FormatForPath(options.out);  // refuse a bad name before reading anything

  const std::vector<plot::PlotStation> stations =
      from_csv ? StationsFromCsv(options) : StationsFromTable(options);

  plot::PlotOptions plot_options;
  if (!options.title.empty()) {
    plot_options.title = options.title;
  } else if (from_csv) {
    const std::size_t slash = options.csv_path.find_last_of('/');
    plot_options.title =
        slash == std::string::npos ? options.csv_path : options.csv_path.substr(slash + 1);
  } else {
    plot_options.title = options.table;
  }
  plot_options.depth_unit = options.depth_unit;
  plot_options.gtdjs = options.gtdjs;
  plot_options.section_azimuth = options.azimuth;
  plot::WritePlot(stations, plot_options, options.out);
}

}  // namespace lkrva::cli
