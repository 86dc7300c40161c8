// The four formula sets of the radius-of-curvature method, written once for
// both the plain transcription and the walker that reuses its sines.
//
// Notation: I1, I2 the inclinations and A1, A2 the azimuths of stations k − 1
// and k; sI1 = sin rad(I1), cI1 = cos rad(I1) and so on, all extended. Each
// expression is evaluated left to right, a parenthesised term first, and only
// the final value is stored as a double.
#pragma once

#include "trajectory/extended.hpp"
#include "trajectory/increments.hpp"

namespace lkrva::trajectory::detail {

/// Sines and cosines of one station's inclination and azimuth.
struct StationTrig {
  real sI, cI, sA, cA;
};

/// Fills dCZJS, dX and dY of `inc`, whose dJS, dJXJ and dFWJ are set.
/// Case C reads only the lower station; case A never reads I1's sine or
/// cosine and case B never reads A1's, so a caller may leave those unset.
inline void ApplyFormulas(SegmentShape shape, const StationTrig& upper, const StationTrig& lower,
                          SegmentIncrements& inc) {
  const double dJS = inc.dJS, dJXJ = inc.dJXJ, dFWJ = inc.dFWJ;
  switch (shape) {
    case SegmentShape::kTurn:
      inc.dCZJS = Store(lower.cI * dJS);
      inc.dX = Store((lower.sA - upper.sA) * (lower.sI * dJS) / dFWJ * 180 / kPi);
      inc.dY = Store((upper.cA - lower.cA) * (lower.sI * dJS) / dFWJ * 180 / kPi);
      break;
    case SegmentShape::kBuild:
      inc.dCZJS = Store((lower.sI - upper.sI) * dJS / dJXJ * 180 / kPi);
      inc.dX = Store(lower.cA * ((upper.cI - lower.cI) * dJS) / dJXJ * 180 / kPi);
      inc.dY = Store(lower.sA * ((upper.cI - lower.cI) * dJS) / dJXJ * 180 / kPi);
      break;
    case SegmentShape::kStraight:
      inc.dCZJS = Store(lower.cI * dJS);
      inc.dX = Store(lower.cA * (lower.sI * dJS));
      inc.dY = Store(lower.sA * (lower.sI * dJS));
      break;
    case SegmentShape::kGeneral:
      inc.dCZJS = Store((lower.sI - upper.sI) * dJS / dJXJ * 180 / kPi);
      inc.dX = Store((lower.sA - upper.sA) * ((upper.cI - lower.cI) * dJS) / dJXJ / dFWJ * 180 /
                     kPi * 180 / kPi);
      inc.dY = Store((upper.cA - lower.cA) * ((upper.cI - lower.cI) * dJS) / dJXJ / dFWJ * 180 /
                     kPi * 180 / kPi);
      break;
  }
}

/// dJS, dJXJ and dFWJ of segment k, stored as doubles.
inline SegmentIncrements SegmentChanges(const StationArrays& s, std::size_t k) {
  SegmentIncrements inc{};
  inc.dJS = Store(real(s.JSArray[k]) - s.JSArray[k - 1]);
  inc.dJXJ = Store(real(s.JXJArray[k]) - s.JXJArray[k - 1]);
  inc.dFWJ = AzimuthChange(s.FWJArray[k - 1], s.FWJArray[k]);
  return inc;
}

}  // namespace lkrva::trajectory::detail
