// The whole segment walk (increments, accumulation, closure, curvature) over
// a synthetic survey of 1,000,000 stations, three ways:
//   PlainLibm   every sine afresh from the C library (sinl, cosl, atanl)
//   Plain       ComputeIncrements + AdvanceStation, every sine afresh (x87)
//   Walker      TrajectoryWalker: each station's sines once, reused
// Run: build/bin/walk_bench
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "plain_libm_walk.hpp"
#include "trajectory/accumulation.hpp"
#include "trajectory/increments.hpp"
#include "trajectory/stations.hpp"
#include "trajectory/walker.hpp"

namespace {

using namespace lkrva::trajectory;

constexpr std::size_t kStations = 1'000'000;

/// A drilled-looking survey: 30-unit steps, inclination and azimuth wandering
/// a few degrees per station, so every segment takes the general formulas.
const StationArrays& Survey() {
  static const StationArrays stations = [] {
    std::mt19937_64 rng(42);
    std::normal_distribution<double> wander(0, 2);
    std::vector<SurveyRecord> records;
    records.reserve(kStations);
    double js = 0, inc = 5, azi = 120;
    for (std::size_t i = 0; i < kStations; ++i) {
      js += 30;
      inc = std::fmin(95, std::fmax(0, inc + wander(rng)));
      azi += wander(rng);
      if (azi < 0) azi += 360;
      if (azi >= 360) azi -= 360;
      records.push_back({js, inc, azi});
    }
    return LoadStations(records, -2.5);
  }();
  return stations;
}

void Report(benchmark::State& state, const TrajectoryTotals& t) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kStations));
  state.counters["checksum"] = t.CZJS + t.X + t.Y + t.BHFW + t.JYQL;
}

void BM_PlainLibm(benchmark::State& state) {
  const StationArrays& s = Survey();
  TrajectoryTotals t;
  for (auto _ : state) benchmark::DoNotOptimize(t = lkrva::bench::PlainLibmWalk(s, 30));
  Report(state, t);
}

void BM_Plain(benchmark::State& state) {
  const StationArrays& s = Survey();
  TrajectoryTotals t;
  for (auto _ : state) {
    t = {};
    for (std::size_t k = 1; k < s.size(); ++k) AdvanceStation(s, k, ComputeIncrements(s, k), 30, t);
    benchmark::DoNotOptimize(t);
  }
  Report(state, t);
}

void BM_Walker(benchmark::State& state) {
  const StationArrays& s = Survey();
  TrajectoryTotals t;
  for (auto _ : state) {
    TrajectoryWalker walk(s, 30);
    while (walk.next() < s.size()) walk.Advance();
    benchmark::DoNotOptimize(t = walk.totals());
  }
  Report(state, t);
}

BENCHMARK(BM_PlainLibm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walker)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
