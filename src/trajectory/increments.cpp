// Segment increments, the plain transcription of the method.
//
// Method: radius of curvature. Along a segment the inclination and the
// azimuth change uniformly with measured depth; integrating the direction
// cosines gives closed forms, with special cases where a change is too small
// (< 0.01 degree) to divide by. Cost: up to eight sines and cosines a segment.
#include "trajectory/increments.hpp"

#include "trajectory/extended.hpp"
#include "trajectory/segment_formulas.hpp"

namespace lkrva::trajectory {

SegmentShape ClassifySegment(double dJXJ, double dFWJ) {
  const bool small_inclination = IsSmallChange(dJXJ);
  const bool small_azimuth = IsSmallChange(dFWJ);
  if (small_inclination && !small_azimuth) return SegmentShape::kTurn;
  if (!small_inclination && small_azimuth) return SegmentShape::kBuild;
  if (small_inclination && small_azimuth) return SegmentShape::kStraight;
  return SegmentShape::kGeneral;
}

double AzimuthChange(double A1, double A2) {
  double change = Store(real(A2) - A1);
  if (change > 180) change = Store(real(change) - 360);
  if (change < -180) change = Store(real(change) + 360);
  return change;
}

SegmentIncrements ComputeIncrements(const StationArrays& stations, std::size_t k) {
  SegmentIncrements inc = detail::SegmentChanges(stations, k);
  const real I1 = Radians(stations.JXJArray[k - 1]), I2 = Radians(stations.JXJArray[k]);
  const real A1 = Radians(stations.FWJArray[k - 1]), A2 = Radians(stations.FWJArray[k]);
  const detail::StationTrig upper{Sin(I1), Cos(I1), Sin(A1), Cos(A1)};
  const detail::StationTrig lower{Sin(I2), Cos(I2), Sin(A2), Cos(A2)};
  detail::ApplyFormulas(ClassifySegment(inc.dJXJ, inc.dFWJ), upper, lower, inc);
  return inc;
}

}  // namespace lkrva::trajectory
