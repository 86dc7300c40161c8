#include "trajectory/accumulation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "trajectory/increments.hpp"

namespace lkrva::trajectory {
namespace {

StationArrays Pair(double js1, double i1, double a1, double js2, double i2, double a2) {
  StationArrays s;
  s.JSArray = {js1, js2};
  s.JXJArray = {i1, i2};
  s.FWJArray = {a1, a2};
  return s;
}

/// Walks every station with the plain transcription and returns the totals.
std::vector<TrajectoryTotals> Walk(const StationArrays& s, double gtdjs) {
  std::vector<TrajectoryTotals> out;
  TrajectoryTotals t;
  for (std::size_t k = 1; k < s.size(); ++k) {
    AdvanceStation(s, k, ComputeIncrements(s, k), gtdjs, t);
    out.push_back(t);
  }
  return out;
}

TEST(closure, azimuth_in_every_quadrant_and_on_every_axis) {
  const struct {
    double x, y, bhfw;
  } cases[] = {{1, 1, 45},   {1, -1, 315}, {-1, 1, 135}, {-1, -1, 225}, {5, 0, 0},
               {-5, 0, 180}, {0, 5, 90},   {0, -5, 270}, {0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_NEAR(ClosureAzimuth(c.x, c.y), c.bhfw, 1e-12) << c.x << "," << c.y;
  }
  // Signed zeros compare equal to zero.
  EXPECT_EQ(ClosureAzimuth(-0.0, -0.0), 0);
  EXPECT_EQ(ClosureAzimuth(-0.0, 5), 90);
  EXPECT_EQ(ClosureAzimuth(5, -0.0), 0);
}

TEST(closure, distance) {
  EXPECT_EQ(ClosureDistance(3, 4), 5);
  EXPECT_EQ(ClosureDistance(0, 0), 0);
  EXPECT_EQ(ClosureDistance(-3, -4), 5);
}

TEST(accumulation, worked_three_station_survey) {
  const std::vector<SurveyRecord> records = {{100, 0, 0}, {200, 10, 45}, {300, 20, 60}};
  const std::vector<TrajectoryTotals> t = Walk(LoadStations(records, 0), 30);
  constexpr double kTol = 1e-6;
  EXPECT_EQ(t[0].CZJS, 100);
  EXPECT_EQ(t[0].X, 0);
  EXPECT_EQ(t[0].Y, 0);
  EXPECT_EQ(t[0].BHFW, 0);
  EXPECT_EQ(t[0].JYQL, 0);
  EXPECT_NEAR(t[1].CZJS, 199.493077, kTol);
  EXPECT_NEAR(t[1].X, 7.836818, kTol);
  EXPECT_NEAR(t[1].Y, 3.246116, kTol);
  EXPECT_NEAR(t[1].BHFW, 22.5, kTol);
  EXPECT_NEAR(ClosureDistance(t[1].X, t[1].Y), 8.482511, kTol);
  EXPECT_NEAR(t[1].JYQL, 3.222483, kTol);
  EXPECT_NEAR(t[2].CZJS, 295.963107, kTol);
  EXPECT_NEAR(t[2].X, 23.527833, kTol);
  EXPECT_NEAR(t[2].Y, 23.695045, kTol);
  EXPECT_NEAR(t[2].BHFW, 45.202878, kTol);
  EXPECT_NEAR(ClosureDistance(t[2].X, t[2].Y), 33.391827, kTol);
  EXPECT_NEAR(t[2].JYQL, 3.218151, kTol);
}

TEST(accumulation, vertical_hole_stays_on_the_axis) {
  const std::vector<SurveyRecord> records = {{100, 0, 0}, {250, 0, 0}, {400, 0, 0}};
  for (const TrajectoryTotals& t : Walk(LoadStations(records, 7), 30)) {
    EXPECT_EQ(t.X, 0);
    EXPECT_EQ(t.Y, 0);
    EXPECT_EQ(t.BHFW, 0);
    EXPECT_EQ(t.JYQL, 0);
  }
  EXPECT_EQ(Walk(LoadStations(records, 0), 30).back().CZJS, 400);
}

TEST(accumulation, declination_keeps_a_straight_hole_on_its_heading) {
  // One record (100, 2, 30) with declination −3.5: the hole heads 26.5.
  const std::vector<SurveyRecord> records = {{100, 2, 30}};
  const TrajectoryTotals t = Walk(LoadStations(records, -3.5), 30).back();
  EXPECT_NEAR(t.BHFW, 26.5, 1e-12);
  EXPECT_NEAR(t.JYQL, 2.0 * 30 / 100, 1e-15);
}

TEST(curvature, worked_segments) {
  const struct {
    const char* name;
    double i1, a1, i2, a2, gtdjs, delta_a, jyql, tol;
  } cases[] = {
      {"turn", 30, 10, 30, 16, 30, 6, 3, 1e-12},
      {"build", 30, 10, 33, 10, 30, 0, 3, 1e-12},
      {"turn per 25", 30, 10, 30, 16, 25, 6, 2.5, 1e-12},
      {"build per 25", 30, 10, 33, 10, 25, 0, 2.5, 1e-12},
      {"across north", 30, 350, 32, 10, 30, 20, 10.493126, 1e-6},
      {"across north backwards", 30, 10, 32, 350, 30, 20, 10.493126, 1e-6},
      {"no wrap between 100 and 300", 30, 100, 32, 300, 30, 200, 103.027029, 1e-6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StationArrays s = Pair(1000, c.i1, c.a1, 1030, c.i2, c.a2);
    EXPECT_EQ(CurvatureAzimuthChange(c.a1, c.a2), c.delta_a);
    EXPECT_NEAR(SegmentCurvature(s, 1, 30, c.gtdjs), c.jyql, c.tol);
  }
}

TEST(curvature, azimuth_change_rows_are_strict) {
  EXPECT_EQ(CurvatureAzimuthChange(270, 10), -260);
  EXPECT_EQ(CurvatureAzimuthChange(90, 300), 210);
  EXPECT_EQ(CurvatureAzimuthChange(271, 89), 360 - 182);
  EXPECT_EQ(CurvatureAzimuthChange(-3.5, 300), 360 - 303.5);
}

TEST(curvature, zero_length_negative_length_and_zero_reference) {
  const StationArrays s = Pair(1000, 30, 100, 1000, 32, 300);
  EXPECT_EQ(SegmentCurvature(s, 1, 0, 30), 0);
  EXPECT_LT(SegmentCurvature(Pair(1030, 30, 10, 1000, 33, 10), 1, -30, 30), 0);
  EXPECT_EQ(SegmentCurvature(Pair(1000, 30, 10, 1030, 33, 10), 1, 30, 0), 0);
  // A zero-length segment leaves the totals where they were.
  StationArrays three;
  three.JSArray = {0, 100, 100};
  three.JXJArray = {0, 10, 20};
  three.FWJArray = {45, 45, 200};
  const std::vector<TrajectoryTotals> t = Walk(three, 30);
  EXPECT_EQ(t[1].CZJS, t[0].CZJS);
  EXPECT_EQ(t[1].X, t[0].X);
  EXPECT_EQ(t[1].Y, t[0].Y);
  EXPECT_EQ(t[1].BHFW, t[0].BHFW);
  EXPECT_EQ(t[1].JYQL, 0);
}

}  // namespace
}  // namespace lkrva::trajectory
