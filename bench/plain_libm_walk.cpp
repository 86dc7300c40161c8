// The walk with the C library's trigonometry, every value taken afresh.
#include "plain_libm_walk.hpp"

#include <cmath>

namespace lkrva::bench {

namespace {

using real = long double;
constexpr real kPi = 3.1415926535897932385L;
real Rad(double d) { return real(d) / 180 * kPi; }

}  // namespace

trajectory::TrajectoryTotals PlainLibmWalk(const trajectory::StationArrays& s, double gtdjs) {
  trajectory::TrajectoryTotals t;
  for (std::size_t k = 1; k < s.size(); ++k) {
    const double I1 = s.JXJArray[k - 1], I2 = s.JXJArray[k];
    const double A1 = s.FWJArray[k - 1], A2 = s.FWJArray[k];
    const double dJS = double(real(s.JSArray[k]) - s.JSArray[k - 1]);
    const double dJXJ = double(real(I2) - I1);
    double dFWJ = double(real(A2) - A1);
    if (dFWJ > 180) dFWJ -= 360;
    if (dFWJ < -180) dFWJ += 360;
    const bool si = std::fabs(dJXJ) < 0.01, sa = std::fabs(dFWJ) < 0.01;
    double dC, dX, dY;
    if (si && !sa) {
      dC = double(std::cos(Rad(I2)) * dJS);
      dX = double((std::sin(Rad(A2)) - std::sin(Rad(A1))) * (std::sin(Rad(I2)) * dJS) / dFWJ * 180 /
                  kPi);
      dY = double((std::cos(Rad(A1)) - std::cos(Rad(A2))) * (std::sin(Rad(I2)) * dJS) / dFWJ * 180 /
                  kPi);
    } else if (!si && sa) {
      dC = double((std::sin(Rad(I2)) - std::sin(Rad(I1))) * dJS / dJXJ * 180 / kPi);
      dX = double(std::cos(Rad(A2)) * ((std::cos(Rad(I1)) - std::cos(Rad(I2))) * dJS) / dJXJ * 180 /
                  kPi);
      dY = double(std::sin(Rad(A2)) * ((std::cos(Rad(I1)) - std::cos(Rad(I2))) * dJS) / dJXJ * 180 /
                  kPi);
    } else if (si && sa) {
      dC = double(std::cos(Rad(I2)) * dJS);
      dX = double(std::cos(Rad(A2)) * (std::sin(Rad(I2)) * dJS));
      dY = double(std::sin(Rad(A2)) * (std::sin(Rad(I2)) * dJS));
    } else {
      dC = double((std::sin(Rad(I2)) - std::sin(Rad(I1))) * dJS / dJXJ * 180 / kPi);
      dX = double((std::sin(Rad(A2)) - std::sin(Rad(A1))) *
                  ((std::cos(Rad(I1)) - std::cos(Rad(I2))) * dJS) / dJXJ / dFWJ * 180 / kPi * 180 /
                  kPi);
      dY = double((std::cos(Rad(A1)) - std::cos(Rad(A2))) *
                  ((std::cos(Rad(I1)) - std::cos(Rad(I2))) * dJS) / dJXJ / dFWJ * 180 / kPi * 180 /
                  kPi);
    }
    double dA = ((A2 > 270 && A1 < 90) || (A2 < 90 && A1 > 270))
                    ? double(360 - std::fabs(real(A2) - A1))
                    : double(real(A2) - A1);
    if (dJS == 0) {
      t.JYQL = 0;
    } else {
      const real sm = std::sin((real(I2) + I1) * kPi / 360);
      t.JYQL = double(std::sqrt(real(dA) * dA * (sm * sm) + (real(I2) - I1) * (real(I2) - I1)) *
                      (real(gtdjs) / dJS));
    }
    t.CZJS = double(real(t.CZJS) + dC);
    t.X = double(real(t.X) + dX);
    t.Y = double(real(t.Y) + dY);
    if (t.X == 0) {
      t.BHFW = t.Y > 0 ? 90 : t.Y < 0 ? 270 : 0;
    } else if (t.Y == 0) {
      t.BHFW = t.X > 0 ? 0 : 180;
    } else {
      const real a = std::atan(real(t.Y) / t.X) * 180 / kPi;
      t.BHFW = t.X > 0 ? (t.Y > 0 ? double(a) : double(a + 360)) : double(a + 180);
    }
  }
  return t;
}

}  // namespace lkrva::bench
