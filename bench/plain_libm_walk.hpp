// The walk transcribed plainly with the C library's long-double sine, cosine
// and arctangent, each taken afresh: the reference point for the walk's speed.
#pragma once

#include <cstddef>

#include "trajectory/accumulation.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::bench {

/// Walks every station of `s` and returns the last totals.
trajectory::TrajectoryTotals PlainLibmWalk(const trajectory::StationArrays& s, double gtdjs);

}  // namespace lkrva::bench
