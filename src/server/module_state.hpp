// The state every KRVA object of the process shares: parameters, station
// arrays and the table references of a run.
#pragma once

#include "data/data_module.hpp"
#include "params/parameter_set.hpp"
#include "trajectory/stations.hpp"

namespace lkrva::server {

/// Empty when the module loads, released when it unloads; outlives every
/// object. Only one operation at a time touches it (OperationGuard).
struct ModuleState {
  params::ParameterSet params;
  trajectory::StationArrays stations;
  data::DataState data;  ///< the connection and the four queries; empty between runs
};

/// The module's state, made empty on first use.
ModuleState& State();

/// Frees the state; the next State() starts empty again.
void ReleaseState() noexcept;

}  // namespace lkrva::server
