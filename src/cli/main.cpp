// lkrva: the command-line host of the trajectory computation.
//
// Exit codes: 0 success; 1 the run failed (the user has been told why);
// 2 a usage error or input that cannot be read.
#include <cstdio>
#include <exception>

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include "cli/compute_command.hpp"
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

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kExitUsage;
  }

  try {
    if (compute_cmd->parsed()) lkrva::cli::RunCompute(compute, stdout);
    return 0;
  } catch (const lkrva::csv::SurveyFileError& e) {
    std::fprintf(stderr, "lkrva: %s\n", e.what());  // never throws, even on a full disk
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lkrva: %s\n", e.what());  // never throws, even on a full disk
    return kExitFailed;
  }
}
