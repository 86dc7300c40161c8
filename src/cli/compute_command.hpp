// `lkrva compute`: the trajectory of a CSV survey, without a database.
#pragma once

#include <cstdio>
#include <string>

namespace lkrva::cli {

struct ComputeOptions {
  std::string path;        ///< the survey CSV
  double declination = 0;  ///< CPJ, degrees added to every azimuth
  double gtdjs = 30;       ///< reference length of the curvature
};

/// Reads, fills, walks and writes the trajectory as CSV to `out`.
/// Throws csv::SurveyFileError for bad input and std::runtime_error when the
/// output cannot be written; nothing is written before the input is read.
void RunCompute(const ComputeOptions& options, std::FILE* out);

}  // namespace lkrva::cli
