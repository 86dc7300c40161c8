// Missing-reading interpolation.
#include "trajectory/interpolation.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <vector>

#include "trajectory/extended.hpp"

namespace lkrva::trajectory {

namespace {

/// Linear interpolation written from the lower neighbour, as the system has
/// always evaluated it: v2 − (d2 − d)/(d2 − d1)·(v2 − v1).
real Linear(double d, double d1, double d2, real v1, real v2) {
  return v2 - (real(d2) - d) / (real(d2) - d1) * (v2 - v1);
}

/// Brings an azimuth into [0, 360).
double NormaliseAzimuth(real a) {
  real r = std::fmod(a, real(360));
  if (r < 0) r += 360;
  double stored = Store(r);
  return stored >= 360 ? 0.0 : stored;
}

}  // namespace

Reading InterpolateBetween(double d, const std::optional<Neighbour>& upper,
                           const std::optional<Neighbour>& lower) {
  if (!upper && !lower) return {0, 0};
  if (!upper) return {lower->JXJ, lower->FWJ};
  if (!lower) return {upper->JXJ, upper->FWJ};

  Reading r{};
  r.JXJ = upper->JXJ == lower->JXJ ? lower->JXJ
                                   : Store(Linear(d, upper->JS, lower->JS, upper->JXJ, lower->JXJ));
  if (upper->FWJ == lower->FWJ) {
    r.FWJ = lower->FWJ;
  } else {
    // Going the shorter way round: the upper azimuth is moved by whole turns
    // until it lies within half a turn of the lower one.
    real a1 = upper->FWJ;
    const real a2 = lower->FWJ;
    if (a2 - a1 > 180) a1 += 360;
    if (a2 - a1 < -180) a1 -= 360;
    r.FWJ = NormaliseAzimuth(Linear(d, upper->JS, lower->JS, a1, a2));
  }
  return r;
}

std::size_t FillMissingReadings(std::span<PartialRecord> rows) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rows[a].JS < rows[b].JS; });

  // Complete records by depth; the first one met at each depth stands for it.
  std::map<double, Neighbour> complete;
  for (std::size_t i : order) {
    const PartialRecord& row = rows[i];
    if (row.complete()) complete.emplace(row.JS, Neighbour{row.JS, *row.JXJ, *row.FWJ});
  }

  std::size_t filled = 0;
  for (std::size_t i : order) {
    PartialRecord& row = rows[i];
    if (row.complete()) continue;
    Reading reading{};
    if (auto same = complete.find(row.JS); same != complete.end()) {
      reading = {same->second.JXJ, same->second.FWJ};
    } else {
      auto below = complete.upper_bound(row.JS);
      std::optional<Neighbour> upper, lower;
      if (below != complete.end()) lower = below->second;
      if (below != complete.begin()) upper = std::prev(below)->second;
      reading = InterpolateBetween(row.JS, upper, lower);
    }
    row.JXJ = reading.JXJ;
    row.FWJ = reading.FWJ;
    complete.emplace(row.JS, Neighbour{row.JS, reading.JXJ, reading.FWJ});
    ++filled;
  }
  return filled;
}

}  // namespace lkrva::trajectory
