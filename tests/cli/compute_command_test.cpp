#include "cli/compute_command.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "text/number_text.hpp"
#include "trajectory/accumulation.hpp"
#include "trajectory/increments.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::cli {
namespace {

/// The expected output, from the plain transcription on one thread.
std::string PlainOutput(const std::vector<trajectory::SurveyRecord>& records, double cpj,
                        double gtdjs) {
  const trajectory::StationArrays s = trajectory::LoadStations(records, cpj);
  std::string out = "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n";
  trajectory::TrajectoryTotals t;
  for (std::size_t k = 1; k < s.size(); ++k) {
    trajectory::AdvanceStation(s, k, trajectory::ComputeIncrements(s, k), gtdjs, t);
    const trajectory::SurveyRecord& r = records[k - 1];
    for (double v : {r.JS, r.JXJ, r.FWJ, t.CZJS, t.X, t.Y, t.BHFW,
                     trajectory::ClosureDistance(t.X, t.Y), t.JYQL}) {
      text::AppendNumber(out, v, '.');
      out += ',';
    }
    out.back() = '\n';
  }
  return out;
}

TEST(compute_command, large_survey_gives_the_rows_of_the_plain_walk_in_order) {
  // 300,000 rows: read in two halves, walked ahead of the output in chunks.
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<trajectory::SurveyRecord> records;
  std::ostringstream csv;
  csv << "MD,INC,AZI\n";
  double js = 0;
  for (int i = 0; i < 300000; ++i) {
    js += 10 + 20 * unit(rng);
    // Written with 15 digits, as the plain walk must then read them.
    const std::string depth = text::FormatNumber(js, '.');
    const std::string inclination = text::FormatNumber(90 * unit(rng), '.');
    const std::string azimuth = text::FormatNumber(360 * unit(rng), '.');
    csv << depth << ',' << inclination << ',' << azimuth << '\n';
    records.push_back({*text::ParseNumber(depth, '.'), *text::ParseNumber(inclination, '.'),
                       *text::ParseNumber(azimuth, '.')});
  }
  const auto dir = std::filesystem::temp_directory_path() / "lkrva-compute-test";
  std::filesystem::create_directories(dir);
  const auto input = dir / "survey.csv";
  std::ofstream(input) << csv.str();
  ASSERT_GT(std::filesystem::file_size(input), 4u << 20);

  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  RunCompute({input.string(), -2.5, 30}, out);
  std::string got(static_cast<std::size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  ASSERT_EQ(std::fread(got.data(), 1, got.size(), out), got.size());
  std::fclose(out);
  std::filesystem::remove_all(dir);

  EXPECT_TRUE(got == PlainOutput(records, -2.5, 30));
}

}  // namespace
}  // namespace lkrva::cli
