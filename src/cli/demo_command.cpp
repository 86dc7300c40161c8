// The demo: import, compute through the server, print and plot.
#include "cli/demo_command.hpp"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/demo_survey.hpp"
#include "cli/export_command.hpp"
#include "cli/import_command.hpp"
#include "cli/krva_host.hpp"
#include "cli/plot_command.hpp"
#include "csv/survey_csv.hpp"
#include "text/number_text.hpp"

namespace lkrva::cli {

namespace {

constexpr double kDeclination = -2.5;
constexpr double kGtdjs = 30;

/// Readings the demo removes (0-based survey rows), so the fill pass has
/// something to do: inclinations, then azimuths.
constexpr std::size_t kDropInclination[] = {9, 24, 40};
constexpr std::size_t kDropAzimuth[] = {32, 41, 55};

/// The bundled survey as JS,JXJ,FWJ with the chosen readings left empty.
std::string DemoCsv() {
  const csv::SurveyFile survey = csv::ParseSurveyCsv(kDemoSurveyCsv, kDemoSurveyName);
  std::string out = "JS,JXJ,FWJ\n";
  for (std::size_t i = 0; i < survey.rows.size(); ++i) {
    const trajectory::PartialRecord& r = survey.rows[i];
    auto dropped = [i](const auto& rows) {
      for (std::size_t d : rows) {
        if (d == i) return true;
      }
      return false;
    };
    text::AppendNumber(out, r.JS, '.');
    out += ',';
    if (!dropped(kDropInclination)) text::AppendNumber(out, *r.JXJ, '.');
    out += ',';
    if (!dropped(kDropAzimuth)) text::AppendNumber(out, *r.FWJ, '.');
    out += '\n';
  }
  return out;
}

/// One station as a table line, three decimals a column.
void PrintStation(std::FILE* out, const SurveyTableRow& row) {
  for (const std::optional<double>& v : row) {
    if (v) {
      std::fprintf(out, "%12.3f", *v);
    } else {
      std::fprintf(out, "%12s", "");
    }
  }
  std::fputc('\n', out);
}

}  // namespace

int RunDemo(const DemoOptions& options, std::FILE* out) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::absolute(options.dir);
  fs::create_directories(dir);
  const fs::path csv_path = dir / "survey.csv";
  const fs::path db_path = dir / "survey.sqlite";
  fs::remove(db_path);
  {
    std::ofstream csv_file(csv_path, std::ios::binary);
    csv_file << DemoCsv();
    if (!csv_file) throw std::runtime_error("cannot write " + csv_path.string());
  }
  {
    std::ofstream source(dir / "SOURCE.txt");
    source << kDemoSurveySource << "\n";
  }
  // The database file must exist before it is opened: the layer never
  // creates one by accident from a mistyped path.
  std::ofstream(db_path).close();
  const std::string connection = "Provider=SQLite;Data Source=" + db_path.string();

  ImportOptions import;
  import.path = csv_path.string();
  import.connection = connection;
  import.table = "survey";
  import.create = true;
  const ImportResult imported = RunImport(import);
  std::fprintf(out, "Survey: %s\n", kDemoSurveySource);
  std::fprintf(out, "Imported %zu stations into %s (table survey), %zu with a reading removed.\n",
               imported.rows, db_path.c_str(), imported.missing_readings);

  KrvaHostOptions host;
  host.connection = connection;
  host.table = "survey";
  host.declination = text::FormatNumber(kDeclination, '.');
  host.gtdjs = kGtdjs;
  host.quiet = options.quiet;
  const int table_result = RunTable(host, out);
  if (table_result != 0) return table_result;

  const std::vector<SurveyTableRow> rows = ReadSurveyTable(connection, "survey", "", {});
  std::fprintf(
      out, "\nComputed with declination %s and curvature per %s m. First and last stations:\n",
      text::FormatNumber(kDeclination, '.').c_str(), text::FormatNumber(kGtdjs, '.').c_str());
  std::fprintf(out, "%12s%12s%12s%12s%12s%12s%12s%12s%12s\n", "JS", "JXJ", "FWJ", "CZJS", "X", "Y",
               "BHFW", "BHJ", "JYQL");
  for (std::size_t i : {std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
    if (i < rows.size()) PrintStation(out, rows[i]);
  }
  std::fprintf(out, "%12s\n", "...");
  for (std::size_t i = rows.size() >= 3 ? rows.size() - 3 : 3; i < rows.size(); ++i) {
    PrintStation(out, rows[i]);
  }

  for (const char* name : {"trajectory.svg", "trajectory.png"}) {
    PlotCommandOptions plot;
    plot.connection = connection;
    plot.table = "survey";
    plot.gtdjs = kGtdjs;
    plot.title = "deviation-m.csv";
    plot.depth_unit = "m";
    plot.out = (dir / name).string();
    RunPlot(plot);
  }
  std::fprintf(
      out,
      "\nEverything is in %s:\n"
      "  survey.csv       the survey as imported (empty cells: readings removed)\n"
      "  survey.sqlite    the table survey, with the nine columns computed\n"
      "  trajectory.svg   plan view, vertical section and curvature (also .png)\n"
      "  SOURCE.txt       where the survey comes from\n"
      "Try: lkrva record --connection \"%s\" --table survey --depth %s "
      "--declination -2.5\n",
      dir.c_str(), connection.c_str(),
      rows.empty() || !rows.back()[0] ? "0" : text::FormatNumber(*rows.back()[0], '.').c_str());
  return 0;
}

}  // namespace lkrva::cli
