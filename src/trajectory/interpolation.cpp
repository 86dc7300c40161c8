// Missing-reading interpolation.
#include "trajectory/interpolation.hpp"

#include <algorithm>
#include <cmath>
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

std::size_t FillMissingReadings(std::span<PartialRecord> rows, double (*as_stored)(double)) {
  const bool any_incomplete =
      std::any_of(rows.begin(), rows.end(), [](const PartialRecord& r) { return !r.complete(); });
  if (!any_incomplete) return 0;

  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rows[a].JS < rows[b].JS; });

  // Visiting by ascending depth, every row filled so far lies at or above the
  // current depth, so the nearest complete row below is always one that was
  // complete from the start: next_complete[p] is the first such row after
  // position p in depth order.
  const std::size_t n = order.size();
  std::vector<std::size_t> next_complete(n + 1, n);
  for (std::size_t p = n; p-- > 0;) {
    next_complete[p] = rows[order[p]].complete() ? p : next_complete[p + 1];
  }

  std::optional<Neighbour> above;     // nearest complete row strictly shallower
  std::optional<Neighbour> at_depth;  // first complete row at the current depth
  std::size_t filled = 0;
  for (std::size_t p = 0; p < n; ++p) {
    PartialRecord& row = rows[order[p]];
    if (at_depth && at_depth->JS != row.JS) {
      above = at_depth;
      at_depth.reset();
    }
    if (!row.complete()) {
      Reading reading{};
      // A complete row at the very same depth, met already or still to come.
      std::size_t same = next_complete[p];
      if (at_depth) {
        reading = {at_depth->JXJ, at_depth->FWJ};
      } else if (same < n && rows[order[same]].JS == row.JS) {
        reading = {*rows[order[same]].JXJ, *rows[order[same]].FWJ};
      } else {
        std::optional<Neighbour> below;
        if (same < n) {
          const PartialRecord& b = rows[order[same]];
          below = Neighbour{b.JS, *b.JXJ, *b.FWJ};
        }
        reading = InterpolateBetween(row.JS, above, below);
      }
      row.JXJ = as_stored ? as_stored(reading.JXJ) : reading.JXJ;
      row.FWJ = as_stored ? as_stored(reading.FWJ) : reading.FWJ;
      ++filled;
    }
    if (!at_depth) at_depth = Neighbour{row.JS, *row.JXJ, *row.FWJ};
  }
  return filled;
}

}  // namespace lkrva::trajectory
