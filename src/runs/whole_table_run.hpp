// The whole-table run behind mathtable.
#pragma once

#include "runs/run_context.hpp"

namespace lkrva::runs {

/// Fills missing readings, computes every station from the surface down and
/// writes its vertical depth, coordinates, closure azimuth and distance (as
/// text, 15 significant digits) and curvature (as a double) into its record,
/// while a progress display counts the stations. Tells the user of every
/// failure in one message box and never raises. Posts are committed at least
/// once a second and on every way out, so all that was written stays. The
/// station arrays are emptied at the end.
void RunWholeTable(RunContext& ctx, double gtdjs) noexcept;

}  // namespace lkrva::runs
