// Filling missing inclination and azimuth readings in the survey table.
#pragma once

#include <cstddef>
#include <vector>

#include "runs/periodic_commit.hpp"
#include "runs/run_context.hpp"
#include "trajectory/interpolation.hpp"

namespace lkrva::runs {

/// A pair the fill pass wrote, and the main query's record it was for
/// (0-based, in the main query's order).
struct FilledReading {
  std::size_t record;
  trajectory::Reading reading;  ///< as stored: rounded to the 15 digits written
};

/// The readings for depth `d`: those of the first record at that depth when
/// it is complete, otherwise interpolated between the nearest complete
/// records above and below that pass the filter (see
/// trajectory::InterpolateBetween). Sends its statements on LookupQuery and
/// closes it afterwards: only each result's first record is needed, and an
/// open result would have to be read to its end before the next write.
trajectory::Reading InterpolateReading(RunContext& ctx, double d);

/// Gives every record of the main query that lacks its inclination or its
/// azimuth both readings anew and posts them to the table at once, through
/// the record the per-record statement finds for its depth — or, when the
/// depth's 15-digit text finds none, through the main query's own record, so
/// no reading is lost. Leaves the main query at its end. Returns the pairs in
/// record order, so the station loading can use them: the main query is a
/// snapshot taken before they were written.
std::vector<FilledReading> FillMissingReadings(RunContext& ctx, PeriodicCommit& commit);

}  // namespace lkrva::runs
