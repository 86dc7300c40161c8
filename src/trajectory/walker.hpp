// The segment walk from the surface down, reusing each station's sines.
#pragma once

#include <cstddef>

#include "trajectory/accumulation.hpp"
#include "trajectory/increments.hpp"
#include "trajectory/segment_formulas.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::trajectory {

/// Walks the segments k = 1, 2, … of loaded station arrays and keeps the
/// running totals. Every value it produces is bit for bit what
/// ComputeIncrements followed by AdvanceStation gives for the same k: both
/// evaluate the same formulas (segment_formulas.hpp) on the same extended
/// values. The walker takes each station's sine and cosine once, and the
/// upper station's are the lower station's of the segment before, so a walk
/// costs two FSINCOS, at most one sine and one arctangent per station instead
/// of eight sines and cosines, one sine and one arctangent.
///
/// **Example**
///   TrajectoryWalker walk(stations, 30.0);
///   while (walk.next() <= stations.last()) {
///     walk.Advance();
///     Use(walk.totals());  // station walk.station()
///   }
class TrajectoryWalker {
 public:
  /// `stations` must outlive the walker and keep its size; gtdjs is the
  /// curvature's reference length.
  TrajectoryWalker(const StationArrays& stations, double gtdjs);

  /// Computes segment `next()` and moves the totals to its lower station.
  /// Throws std::out_of_range past the last station.
  const TrajectoryTotals& Advance();

  /// Index of the station the totals describe (0 before the first Advance).
  std::size_t station() const { return k_; }
  /// Index of the segment the next Advance computes.
  std::size_t next() const { return k_ + 1; }
  const TrajectoryTotals& totals() const { return totals_; }
  /// The increments of the segment last computed.
  const SegmentIncrements& increments() const { return inc_; }

 private:
  detail::StationTrig TrigOf(std::size_t k) const;

  const StationArrays& stations_;
  double gtdjs_;
  std::size_t k_ = 0;
  detail::StationTrig upper_{};
  SegmentIncrements inc_{};
  TrajectoryTotals totals_{};
};

}  // namespace lkrva::trajectory
