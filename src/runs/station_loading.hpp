// Loading the station arrays from the main query.
#pragma once

#include <cstddef>
#include <vector>

#include "data/query.hpp"
#include "params/parameter_set.hpp"
#include "runs/fill_pass.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::runs {

/// Fills `stations` with the surface station and one station per record of
/// `main` (which stands anywhere), in its order, the declination added to
/// the azimuths. The pairs in `filled` replace the readings the snapshot
/// still shows for their records. Never writes past the arrays: when the
/// records run out before the count, the arrays are cut to what was read.
/// When `readings` is given it receives each station's readings as loaded,
/// without the declination (element 0 unused). Returns the number of
/// records loaded. Raises when a value cannot be read as a number.
std::size_t LoadStations(data::Query& main, const params::ParameterSet& p,
                         const std::vector<FilledReading>& filled,
                         trajectory::StationArrays& stations,
                         std::vector<trajectory::Reading>* readings = nullptr);

}  // namespace lkrva::runs
