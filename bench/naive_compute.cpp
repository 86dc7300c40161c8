// The straightforward way to turn a survey CSV into a trajectory: getline and
// strtod in, every sine afresh from the C library, printf out. Same method and
// formulas as lkrva (no missing readings expected); the baseline for
// `lkrva compute` in bench/compute-e2e.sh.
// Usage: naive_compute FILE.csv [declination] [gtdjs] > out.csv
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using real = long double;
constexpr real kPi = 3.1415926535897932385L;
real Rad(double d) { return real(d) / 180 * kPi; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: naive_compute FILE.csv [declination] [gtdjs]\n");
    return 2;
  }
  const double cpj = argc > 2 ? std::strtod(argv[2], nullptr) : 0;
  const double gtdjs = argc > 3 ? std::strtod(argv[3], nullptr) : 30;
  std::ifstream in(argv[1]);
  std::string line;
  std::getline(in, line);  // header
  std::vector<double> js{0}, inc{0}, azi{0}, raw{0};
  while (std::getline(in, line)) {
    char* p = line.data();
    const double d = std::strtod(p, &p);
    const double i = std::strtod(p + 1, &p);
    const double a = std::strtod(p + 1, &p);
    js.push_back(d);
    inc.push_back(i);
    azi.push_back(a + cpj);
    raw.push_back(a);
  }
  if (azi.size() > 1) azi[0] = azi[1];
  std::printf("JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n");
  double C = 0, X = 0, Y = 0;
  for (std::size_t k = 1; k < js.size(); ++k) {
    const double I1 = inc[k - 1], I2 = inc[k], A1 = azi[k - 1], A2 = azi[k];
    const double dJS = js[k] - js[k - 1], dJXJ = I2 - I1;
    double dFWJ = A2 - A1;
    if (dFWJ > 180) dFWJ -= 360;
    if (dFWJ < -180) dFWJ += 360;
    const bool si = std::fabs(dJXJ) < 0.01, sa = std::fabs(dFWJ) < 0.01;
    real dC, dX, dY;
    if (si && !sa) {
      dC = cosl(Rad(I2)) * dJS;
      dX = (sinl(Rad(A2)) - sinl(Rad(A1))) * (sinl(Rad(I2)) * dJS) / dFWJ * 180 / kPi;
      dY = (cosl(Rad(A1)) - cosl(Rad(A2))) * (sinl(Rad(I2)) * dJS) / dFWJ * 180 / kPi;
    } else if (!si && sa) {
      dC = (sinl(Rad(I2)) - sinl(Rad(I1))) * dJS / dJXJ * 180 / kPi;
      dX = cosl(Rad(A2)) * ((cosl(Rad(I1)) - cosl(Rad(I2))) * dJS) / dJXJ * 180 / kPi;
      dY = sinl(Rad(A2)) * ((cosl(Rad(I1)) - cosl(Rad(I2))) * dJS) / dJXJ * 180 / kPi;
    } else if (si && sa) {
      dC = cosl(Rad(I2)) * dJS;
      dX = cosl(Rad(A2)) * (sinl(Rad(I2)) * dJS);
      dY = sinl(Rad(A2)) * (sinl(Rad(I2)) * dJS);
    } else {
      dC = (sinl(Rad(I2)) - sinl(Rad(I1))) * dJS / dJXJ * 180 / kPi;
      dX = (sinl(Rad(A2)) - sinl(Rad(A1))) * ((cosl(Rad(I1)) - cosl(Rad(I2))) * dJS) / dJXJ / dFWJ *
           180 / kPi * 180 / kPi;
      dY = (cosl(Rad(A1)) - cosl(Rad(A2))) * ((cosl(Rad(I1)) - cosl(Rad(I2))) * dJS) / dJXJ / dFWJ *
           180 / kPi * 180 / kPi;
    }
    C += double(dC);
    X += double(dX);
    Y += double(dY);
    const double dA =
        ((A2 > 270 && A1 < 90) || (A2 < 90 && A1 > 270)) ? 360 - std::fabs(A2 - A1) : A2 - A1;
    double curvature = 0;
    if (dJS != 0) {
      const real s = sinl((real(I2) + I1) * kPi / 360);
      curvature = double(sqrtl(real(dA) * dA * s * s + real(dJXJ) * dJXJ) * (gtdjs / dJS));
    }
    double bhfw = 0;
    if (X == 0) {
      bhfw = Y > 0 ? 90 : Y < 0 ? 270 : 0;
    } else if (Y == 0) {
      bhfw = X > 0 ? 0 : 180;
    } else {
      const double a = double(atanl(real(Y) / X) * 180 / kPi);
      bhfw = X > 0 ? (Y > 0 ? a : a + 360) : a + 180;
    }
    std::printf("%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g\n", js[k], inc[k], raw[k], C,
                X, Y, bhfw, std::sqrt(Y * Y + X * X), curvature);
  }
  return 0;
}
