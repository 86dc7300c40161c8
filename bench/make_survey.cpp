// Writes a synthetic survey CSV (JS,JXJ,FWJ) of N stations to standard
// output: 30-unit steps with inclination and azimuth wandering a few degrees,
// the same file for the same N and seed. With --missing P, about P percent of
// the rows lose their inclination or azimuth.
// Usage: make_survey N [--missing P] [--seed S] > survey.csv
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_survey N [--missing P] [--seed S]\n");
    return 2;
  }
  const long n = std::strtol(argv[1], nullptr, 10);
  double missing = 0;
  unsigned long seed = 42;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--missing") == 0) missing = std::strtod(argv[i + 1], nullptr);
    if (std::strcmp(argv[i], "--seed") == 0) seed = std::strtoul(argv[i + 1], nullptr, 10);
  }
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> wander(0, 2);
  std::uniform_real_distribution<double> unit(0, 100);
  std::printf("JS,JXJ,FWJ\n");
  double js = 0, inc = 5, azi = 120;
  for (long i = 0; i < n; ++i) {
    js += 30;
    inc = std::fmin(95, std::fmax(0, inc + wander(rng)));
    azi += wander(rng);
    if (azi < 0) azi += 360;
    if (azi >= 360) azi -= 360;
    const bool drop = unit(rng) < missing;
    const bool drop_inclination = drop && unit(rng) < 50;
    std::printf("%.2f,", js);
    if (!drop_inclination) std::printf("%.2f", inc);
    std::printf(",");
    if (!drop || drop_inclination) std::printf("%.2f", azi);
    std::printf("\n");
  }
  return 0;
}
