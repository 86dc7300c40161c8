// Segment increments by the radius-of-curvature method.
#pragma once

#include <cstddef>

#include "trajectory/stations.hpp"

namespace lkrva::trajectory {

/// One segment's differences and the increments it adds to the trajectory.
/// Every field is stored as a 64-bit double.
struct SegmentIncrements {
  double dJS;    ///< measured length of the segment (length unit of JS)
  double dJXJ;   ///< inclination change, degrees
  double dFWJ;   ///< azimuth change, degrees, normalised into [-180, 180]
  double dCZJS;  ///< increment of vertical depth
  double dX;     ///< increment of the north coordinate
  double dY;     ///< increment of the east coordinate
};

/// Which formula set a segment takes, by which of its changes are small
/// (|change| < 0.01 degree).
enum class SegmentShape {
  kTurn,      ///< A: inclination change small, azimuth change not
  kBuild,     ///< B: azimuth change small, inclination change not
  kStraight,  ///< C: both small
  kGeneral,   ///< D: neither small
};

/// A change is small when its stored value lies strictly within ±0.01 degree;
/// the double nearest 0.01 itself is not small.
inline bool IsSmallChange(double degrees) { return degrees < 0.01 && degrees > -0.01; }

SegmentShape ClassifySegment(double dJXJ, double dFWJ);

/// A2 − A1, brought once into [-180, 180]: above 180 loses 360, then below
/// −180 gains 360. Exactly ±180 stays as it is.
double AzimuthChange(double A1, double A2);

/// Segment k (1 ≤ k ≤ stations.last()), from station k − 1 to station k.
/// This is the plain transcription: every sine and cosine is taken afresh.
/// TrajectoryWalker gives the same bits faster for a walk down the hole.
/// Infinite or NaN station values propagate into the result.
SegmentIncrements ComputeIncrements(const StationArrays& stations, std::size_t k);

}  // namespace lkrva::trajectory
