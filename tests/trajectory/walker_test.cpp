#include "trajectory/walker.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "trajectory/accumulation.hpp"
#include "trajectory/extended.hpp"
#include "trajectory/increments.hpp"

namespace lkrva::trajectory {
namespace {

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

/// A long survey that visits every shape and boundary: random steps, small
/// and exactly-0.01 changes, turns across north, zero-length and upward
/// segments, azimuths pushed past 360 and below 0 by a declination.
std::vector<SurveyRecord> RandomSurvey(std::size_t n, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<SurveyRecord> out;
  double js = 0, inc = 0, azi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double pick = unit(rng);
    if (pick < 0.05) {
      // zero-length segment
    } else if (pick < 0.07) {
      js -= 5 * unit(rng);  // the depth goes back up
    } else {
      js += 30 * unit(rng);
    }
    const double shape = unit(rng);
    if (shape < 0.15) {
      inc += 0.005 * (unit(rng) - 0.5);  // small inclination change
    } else if (shape < 0.2) {
      inc += 0.01;
    } else {
      inc = 90 * unit(rng);
    }
    const double turn = unit(rng);
    if (turn < 0.15) {
      azi += 0.005 * (unit(rng) - 0.5);
    } else if (turn < 0.2) {
      azi = azi < 180 ? 355 + unit(rng) * 5 : 2 * unit(rng);  // across north
    } else {
      azi = 360 * unit(rng);
    }
    out.push_back({js, inc, azi});
  }
  return out;
}

TEST(walker, matches_the_plain_transcription_bit_for_bit) {
  for (double cpj : {0.0, -7.25, 4.5}) {
    const StationArrays s = LoadStations(RandomSurvey(200000, 20261211), cpj);
    TrajectoryTotals plain;
    TrajectoryWalker walk(s, 30);
    for (std::size_t k = 1; k <= s.last(); ++k) {
      const SegmentIncrements inc = ComputeIncrements(s, k);
      AdvanceStation(s, k, inc, 30, plain);
      const TrajectoryTotals& fast = walk.Advance();
      ASSERT_EQ(walk.station(), k);
      ASSERT_EQ(Bits(walk.increments().dCZJS), Bits(inc.dCZJS)) << "station " << k;
      ASSERT_EQ(Bits(walk.increments().dX), Bits(inc.dX)) << "station " << k;
      ASSERT_EQ(Bits(walk.increments().dY), Bits(inc.dY)) << "station " << k;
      ASSERT_EQ(Bits(fast.CZJS), Bits(plain.CZJS)) << "station " << k;
      ASSERT_EQ(Bits(fast.X), Bits(plain.X)) << "station " << k;
      ASSERT_EQ(Bits(fast.Y), Bits(plain.Y)) << "station " << k;
      ASSERT_EQ(Bits(fast.BHFW), Bits(plain.BHFW)) << "station " << k;
      ASSERT_EQ(Bits(fast.JYQL), Bits(plain.JYQL)) << "station " << k;
    }
  }
}

TEST(walker, combined_sine_and_cosine_equal_the_separate_ones) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> degrees(-720, 720);
  for (int i = 0; i < 100000; ++i) {
    const real x = Radians(degrees(rng));
    const SinCos sc = SinAndCos(x);
    ASSERT_EQ(sc.sin, Sin(x));
    ASSERT_EQ(sc.cos, Cos(x));
  }
  // Special angles, signed zero included.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(Sin(Radians(-0.0)))),
            std::bit_cast<std::uint64_t>(-0.0));
  EXPECT_EQ(Cos(Radians(0)), 1);
  EXPECT_EQ(static_cast<double>(Sin(Radians(90))), 1.0);
}

TEST(walker, refuses_to_walk_past_the_last_station) {
  const std::vector<SurveyRecord> records = {{100, 1, 1}};
  const StationArrays s = LoadStations(records, 0);
  TrajectoryWalker walk(s, 30);
  walk.Advance();
  EXPECT_THROW(walk.Advance(), std::out_of_range);
  StationArrays empty;
  TrajectoryWalker none(empty, 30);
  EXPECT_THROW(none.Advance(), std::out_of_range);
}

}  // namespace
}  // namespace lkrva::trajectory
