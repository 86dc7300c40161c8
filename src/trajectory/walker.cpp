// The segment walk with each station's sines taken once.
#include "trajectory/walker.hpp"

#include <stdexcept>
#include <string>

#include "trajectory/extended.hpp"

namespace lkrva::trajectory {

TrajectoryWalker::TrajectoryWalker(const StationArrays& stations, double gtdjs)
    : stations_(stations), gtdjs_(gtdjs) {
  if (stations_.size() > 0) upper_ = TrigOf(0);
}

detail::StationTrig TrajectoryWalker::TrigOf(std::size_t k) const {
  const SinCos I = SinAndCos(Radians(stations_.JXJArray[k]));
  const SinCos A = SinAndCos(Radians(stations_.FWJArray[k]));
  return {I.sin, I.cos, A.sin, A.cos};
}

const TrajectoryTotals& TrajectoryWalker::Advance() {
  const std::size_t k = k_ + 1;
  if (k >= stations_.size()) {
    throw std::out_of_range("segment " + std::to_string(k) + " lies below the last of " +
                            std::to_string(stations_.size()) + " stations");
  }
  const detail::StationTrig lower = TrigOf(k);
  inc_ = detail::SegmentChanges(stations_, k);
  detail::ApplyFormulas(ClassifySegment(inc_.dJXJ, inc_.dFWJ), upper_, lower, inc_);
  AdvanceStation(stations_, k, inc_, gtdjs_, totals_);
  upper_ = lower;
  k_ = k;
  return totals_;
}

}  // namespace lkrva::trajectory
