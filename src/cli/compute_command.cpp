// `lkrva compute`: CSV in, trajectory CSV out.
#include "cli/compute_command.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "csv/survey_csv.hpp"
#include "text/number_text.hpp"
#include "trajectory/interpolation.hpp"
#include "trajectory/stations.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::cli {

namespace {

/// Output goes out in blocks of about this size: large enough that writes
/// cost nothing, small enough that memory does not grow with the survey.
constexpr std::size_t kFlushBytes = 1 << 20;

void Flush(std::string& buffer, std::FILE* out) {
  if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size()) {
    throw std::runtime_error(std::string("cannot write the trajectory: ") + std::strerror(errno));
  }
  buffer.clear();
}

}  // namespace

void RunCompute(const ComputeOptions& options, std::FILE* out) {
  csv::SurveyFile survey = csv::ReadSurveyCsv(options.path);
  if (survey.rows.empty()) {
    throw csv::SurveyFileError(options.path + ": no survey rows below the header");
  }
  trajectory::FillMissingReadings(survey.rows);

  trajectory::StationArrays stations;
  trajectory::ResetStations(stations, survey.rows.size());
  for (std::size_t k = 1; k <= survey.rows.size(); ++k) {
    const trajectory::PartialRecord& row = survey.rows[k - 1];
    trajectory::PutStation(stations, k, {row.JS, *row.JXJ, *row.FWJ}, options.declination);
  }

  std::string buffer;
  buffer.reserve(kFlushBytes + 4096);
  buffer += "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n";
  trajectory::TrajectoryWalker walk(stations, options.gtdjs);
  for (const trajectory::PartialRecord& row : survey.rows) {
    const trajectory::TrajectoryTotals& t = walk.Advance();
    const double values[] = {row.JS, *row.JXJ, *row.FWJ, t.CZJS,
                             t.X,    t.Y,      t.BHFW,   trajectory::ClosureDistance(t.X, t.Y),
                             t.JYQL};
    for (std::size_t i = 0; i < std::size(values); ++i) {
      if (i > 0) buffer += ',';
      text::AppendNumber(buffer, values[i], '.');
    }
    buffer += '\n';
    if (buffer.size() >= kFlushBytes) Flush(buffer, out);
  }
  Flush(buffer, out);
  if (std::fflush(out) != 0) {
    throw std::runtime_error(std::string("cannot write the trajectory: ") + std::strerror(errno));
  }
}

}  // namespace lkrva::cli
