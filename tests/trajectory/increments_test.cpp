#include "trajectory/increments.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lkrva::trajectory {
namespace {

/// Two stations straight into the arrays, bypassing the declination logic.
StationArrays Pair(double js1, double i1, double a1, double js2, double i2, double a2) {
  StationArrays s;
  s.JSArray = {js1, js2};
  s.JXJArray = {i1, i2};
  s.FWJArray = {a1, a2};
  return s;
}

struct IncrementCase {
  const char* name;
  double js1, i1, a1, js2, i2, a2;
  SegmentShape shape;
  double dCZJS, dX, dY;
};

TEST(increments, worked_segments_of_each_shape) {
  constexpr double kTol = 1e-6;
  const IncrementCase cases[] = {
      {"vertical", 0, 0, 0, 500, 0, 0, SegmentShape::kStraight, 500, 0, 0},
      {"turn at constant inclination", 1000, 30, 10, 1030, 30, 16, SegmentShape::kTurn, 25.980762,
       14.608874, 3.372724},
      {"build at constant azimuth", 1000, 30, 10, 1030, 33, 10, SegmentShape::kBuild, 25.576283,
       15.435056, 2.721617},
      {"straight takes the lower direction", 1000, 30, 10, 1030, 30.005, 10.004,
       SegmentShape::kStraight, 25.979453, 14.774167, 2.606148},
      {"general across north", 1000, 30, 350, 1030, 32, 10, SegmentShape::kGeneral, 25.713714,
       15.372036, 0},
      {"general across north backwards", 1000, 30, 10, 1030, 32, 350, SegmentShape::kGeneral,
       25.713714, 15.372036, 0},
  };
  for (const IncrementCase& c : cases) {
    SCOPED_TRACE(c.name);
    const StationArrays s = Pair(c.js1, c.i1, c.a1, c.js2, c.i2, c.a2);
    const SegmentIncrements inc = ComputeIncrements(s, 1);
    EXPECT_EQ(ClassifySegment(inc.dJXJ, inc.dFWJ), c.shape);
    EXPECT_NEAR(inc.dCZJS, c.dCZJS, kTol);
    EXPECT_NEAR(inc.dX, c.dX, kTol);
    EXPECT_NEAR(inc.dY, c.dY, kTol);
  }
}

TEST(increments, straight_case_is_exactly_the_lower_direction) {
  const StationArrays s = Pair(1000, 30, 10, 1030, 30.005, 10.004);
  const SegmentIncrements inc = ComputeIncrements(s, 1);
  const long double pi = 3.1415926535897932385L;
  const long double i2 = 30.005L / 180 * pi, a2 = 10.004L / 180 * pi;
  EXPECT_NEAR(inc.dCZJS, static_cast<double>(std::cos(i2) * 30), 1e-12);
  EXPECT_NEAR(inc.dX, static_cast<double>(std::cos(a2) * (std::sin(i2) * 30)), 1e-12);
  EXPECT_NEAR(inc.dY, static_cast<double>(std::sin(a2) * (std::sin(i2) * 30)), 1e-12);
}

TEST(increments, azimuth_change_is_normalised_once) {
  EXPECT_EQ(AzimuthChange(0, 180), 180);
  EXPECT_EQ(AzimuthChange(180, 0), -180);
  EXPECT_EQ(AzimuthChange(-5, 370), 15);
  EXPECT_EQ(AzimuthChange(350, 10), 20);
  EXPECT_EQ(AzimuthChange(10, 350), -20);
  EXPECT_EQ(AzimuthChange(-400, 400), 440);  // one adjustment only
}

TEST(increments, small_change_threshold) {
  // 10.01 − 10.00 is stored as 0.009999999999999787: small.
  const double d = 10.01 - 10.00;
  EXPECT_EQ(d, 0.009999999999999787);
  EXPECT_TRUE(IsSmallChange(d));
  // The double nearest 0.01 is not small, in either direction.
  EXPECT_FALSE(IsSmallChange(0.01));
  EXPECT_FALSE(IsSmallChange(-0.01));
  EXPECT_EQ(ClassifySegment(0.01, 0.01), SegmentShape::kGeneral);
  EXPECT_EQ(ClassifySegment(d, 5), SegmentShape::kTurn);
  EXPECT_EQ(ClassifySegment(5, -d), SegmentShape::kBuild);
  EXPECT_EQ(ClassifySegment(0, 0), SegmentShape::kStraight);
}

TEST(increments, first_segment_with_declination_does_not_turn) {
  // Record (100, 2, 30) with declination −3.5: both stations point at 26.5.
  StationArrays s;
  ResetStations(s, 1);
  PutStation(s, 1, {100, 2, 30}, -3.5);
  const SegmentIncrements inc = ComputeIncrements(s, 1);
  EXPECT_EQ(inc.dJXJ, 2);
  EXPECT_EQ(inc.dFWJ, 0);
  EXPECT_EQ(ClassifySegment(inc.dJXJ, inc.dFWJ), SegmentShape::kBuild);
  EXPECT_NEAR(std::atan2(inc.dY, inc.dX) * 180 / M_PI, 26.5, 1e-12);
}

TEST(increments, zero_length_segment_adds_nothing_in_every_shape) {
  const double changes[][4] = {
      {30, 100, 32, 300}, {30, 100, 30, 300}, {30, 100, 32, 100}, {30, 100, 30, 100}};
  for (const auto& c : changes) {
    const SegmentIncrements inc = ComputeIncrements(Pair(1000, c[0], c[1], 1000, c[2], c[3]), 1);
    EXPECT_EQ(inc.dJS, 0);
    EXPECT_EQ(inc.dCZJS, 0);
    EXPECT_EQ(inc.dX, 0);
    EXPECT_EQ(inc.dY, 0);
  }
}

TEST(increments, decreasing_depth_reverses_the_increments) {
  const SegmentIncrements down = ComputeIncrements(Pair(1000, 30, 10, 1030, 32, 20), 1);
  const SegmentIncrements up = ComputeIncrements(Pair(1030, 30, 10, 1000, 32, 20), 1);
  EXPECT_EQ(up.dJS, -down.dJS);
  EXPECT_EQ(up.dCZJS, -down.dCZJS);
  EXPECT_EQ(up.dX, -down.dX);
  EXPECT_EQ(up.dY, -down.dY);
}

TEST(increments, nan_station_values_propagate) {
  const SegmentIncrements inc = ComputeIncrements(Pair(0, 0, 0, NAN, 1, 1), 1);
  EXPECT_TRUE(std::isnan(inc.dCZJS));
}

}  // namespace
}  // namespace lkrva::trajectory
