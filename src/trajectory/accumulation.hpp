// Accumulating segments into stations: coordinates, closure and curvature.
#pragma once

#include <cstddef>

#include "trajectory/increments.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::trajectory {

/// A walk's running results; after the step for station k they describe
/// station k. Every field is a 64-bit double.
struct TrajectoryTotals {
  double CZJS = 0;  ///< vertical depth, the sum of dCZJS
  double X = 0;     ///< north coordinate from the wellhead, the sum of dX
  double Y = 0;     ///< east coordinate from the wellhead, the sum of dY
  double BHFW = 0;  ///< closure azimuth, degrees in [0, 360)
  double JYQL = 0;  ///< curvature of the last segment, degrees per gtdjs length units
};

/// Curvature azimuth change of a segment from the station azimuths as stored:
/// 360 − |A2 − A1| when the segment crosses north between the outer quadrants
/// (one azimuth above 270, the other below 90, strictly), otherwise A2 − A1.
double CurvatureAzimuthChange(double A1, double A2);

/// Curvature of segment k in degrees per `gtdjs` length units:
/// √(ΔA²·sin²((I1 + I2)·π/360) + (I2 − I1)²) · (gtdjs / dJS); 0 when dJS = 0.
/// A negative dJS gives a negative curvature; gtdjs is used unchecked.
double SegmentCurvature(const StationArrays& stations, std::size_t k, double dJS, double gtdjs);

/// Closure azimuth of the point (X north, Y east), degrees clockwise from
/// north in [0, 360] (360 only when rounding lifts a tiny negative angle);
/// 0 at the wellhead itself.
double ClosureAzimuth(double X, double Y);

/// Closure distance √(Y·Y + X·X).
double ClosureDistance(double X, double Y);

/// The step for station k: the curvature of segment k, then the sums, then
/// the closure azimuth of the new sums.
void AdvanceStation(const StationArrays& stations, std::size_t k, const SegmentIncrements& inc,
                    double gtdjs, TrajectoryTotals& totals);

}  // namespace lkrva::trajectory
