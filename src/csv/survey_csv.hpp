// Survey files in CSV: reading readings in, writing trajectories out.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "trajectory/interpolation.hpp"

namespace lkrva::csv {

/// A CSV file that cannot be read as a survey. what() names the file, the
/// line and, where there is one, the column: "survey.csv:12:3: ...".
class SurveyFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A survey read from CSV, rows in file order.
struct SurveyFile {
  std::vector<trajectory::PartialRecord> rows;
  std::vector<std::size_t> lines;  ///< the file line of each row, from 1
};

/// Reads the survey in `path`. The header is the first line that names a
/// depth, an inclination and an azimuth column, case-insensitively and with a
/// unit suffix such as "[m]" or "( deg )" ignored: JS or MD (also DEPTH,
/// MEASURED DEPTH), JXJ or INC (INCL, INCLINATION), FWJ or AZI (AZIM,
/// AZIMUTH). Lines above it are taken as a preamble; other columns are
/// ignored. An empty inclination or azimuth cell is a missing reading; the
/// depth must be there. Numbers use a point as decimal separator.
/// Throws SurveyFileError.
SurveyFile ReadSurveyCsv(const std::string& path);

/// Parses CSV text already in memory; `name` stands for the file in messages.
SurveyFile ParseSurveyCsv(std::string_view text, const std::string& name);

}  // namespace lkrva::csv
