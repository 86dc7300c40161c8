// The single-depth run behind mathrecord.
#pragma once

#include <optional>

#include "runs/run_context.hpp"

namespace lkrva::runs {

/// What mathrecord hands back for one station.
struct StationResult {
  double JXJ;   ///< inclination as the table holds it, degrees
  double FWJ;   ///< azimuth as the table holds it, without declination, degrees
  double CZJS;  ///< vertical depth
  double BHJ;   ///< closure distance
  double BHFW;  ///< closure azimuth, degrees
  double X;     ///< north coordinate
  double Y;     ///< east coordinate
  double JYQL;  ///< curvature of the segment ending at the station
};

/// Fills missing readings, then computes from the surface down to the first
/// station whose depth equals `JS` exactly. Nothing when there is no record
/// at all, no station at that depth ("未找到该井深的测点！") or the run failed;
/// the user has been told in each case. Writes nothing but the fill pass's
/// pairs; leaves the station arrays loaded. Never raises.
std::optional<StationResult> RunSingleDepth(RunContext& ctx, double JS, double gtdjs) noexcept;

}  // namespace lkrva::runs
