// Accumulation, closure and curvature.
//
// Notation as in increments.cpp. Curvature is the dogleg of the segment
// approximated from its inclination change and its azimuth change scaled by
// the sine of the mean inclination, per gtdjs length units. Cost: one sine
// (skipped when the azimuth does not change) and, for the closure, one
// arctangent per station.
#include "trajectory/accumulation.hpp"

#include <cmath>

#include "trajectory/extended.hpp"

namespace lkrva::trajectory {

double CurvatureAzimuthChange(double A1, double A2) {
  if ((A2 > 270 && A1 < 90) || (A2 < 90 && A1 > 270)) return Store(360 - std::fabs(real(A2) - A1));
  return Store(real(A2) - A1);
}

namespace {

/// The curvature formula once its azimuth change is known. The sine of the
/// mean inclination only matters when ΔA is not zero: 0 · s is 0 for every
/// finite s, so skipping it changes no bit.
double CurvatureFormula(double I1, double I2, double dA, double dJS, double gtdjs) {
  if (dJS == 0) return 0;
  const real dI = real(I2) - I1;
  const real d = dI * dI;
  real s = 0;
  if (dA != 0) {
    const real mean_sine = Sin((real(I2) + I1) * kPi / 360);
    s = mean_sine * mean_sine;
  }
  const real dA2 = real(dA) * dA;
  return Store(std::sqrt(dA2 * s + d) * (real(gtdjs) / dJS));
}

}  // namespace

double SegmentCurvature(const StationArrays& stations, std::size_t k, double dJS, double gtdjs) {
  const double dA = CurvatureAzimuthChange(stations.FWJArray[k - 1], stations.FWJArray[k]);
  return CurvatureFormula(stations.JXJArray[k - 1], stations.JXJArray[k], dA, dJS, gtdjs);
}

double ClosureAzimuth(double X, double Y) {
  if (X == 0) {
    if (Y > 0) return 90;
    if (Y < 0) return 270;
    return 0;
  }
  if (Y == 0) return X > 0 ? 0 : 180;
  const real a = ArcTan(real(Y) / X) * 180 / kPi;
  if (X > 0) return Y > 0 ? Store(a) : Store(a + 360);
  return Store(a + 180);
}

double ClosureDistance(double X, double Y) { return Store(std::sqrt(real(Y) * Y + real(X) * X)); }

void AdvanceStation(const StationArrays& stations, std::size_t k, const SegmentIncrements& inc,
                    double gtdjs, TrajectoryTotals& totals) {
  totals.JYQL = SegmentCurvature(stations, k, inc.dJS, gtdjs);
  totals.CZJS = Store(real(totals.CZJS) + inc.dCZJS);
  totals.X = Store(real(totals.X) + inc.dX);
  totals.Y = Store(real(totals.Y) + inc.dY);
  totals.BHFW = ClosureAzimuth(totals.X, totals.Y);
}

}  // namespace lkrva::trajectory
