// `lkrva demo`: the whole job on a real survey, in a folder of its own.
#pragma once

#include <cstdio>
#include <string>

namespace lkrva::cli {

struct DemoOptions {
  std::string dir = "lkrva-demo";  ///< made afresh: survey.csv, survey.sqlite, plots
  bool quiet = false;              ///< no progress line
};

/// Writes the bundled survey with a few readings removed to DIR/survey.csv,
/// imports it into a fresh SQLite database DIR/survey.sqlite, runs the
/// whole-table run through the KRVA server (declination −2.5, gtdjs 30),
/// prints the first and last stations, draws DIR/trajectory.svg and .png and
/// says where everything is. Returns the exit code; throws on failures the
/// user has not been told of.
int RunDemo(const DemoOptions& options, std::FILE* out);

}  // namespace lkrva::cli
