// The calculation runs, on the module's state.
#include "server/runs.hpp"

#include "runs/single_depth_run.hpp"
#include "runs/whole_table_run.hpp"

namespace lkrva::server {

void RunWholeTable(ModuleState& state, ui::UserInterface& ui, double gtdjs) {
  runs::RunContext ctx{state.params, state.stations, state.data, ui};
  runs::RunWholeTable(ctx, gtdjs);
}

bool RunSingleDepth(ModuleState& state, ui::UserInterface& ui, double JS, double gtdjs,
                    const RecordOutputs& outputs) {
  runs::RunContext ctx{state.params, state.stations, state.data, ui};
  const std::optional<runs::StationResult> r = runs::RunSingleDepth(ctx, JS, gtdjs);
  if (!r) return false;
  // In the order the caller's variables are named on the interface.
  *outputs.JXJ = r->JXJ;
  *outputs.FWJ = r->FWJ;
  *outputs.CZJS = r->CZJS;
  *outputs.X = r->X;
  *outputs.Y = r->Y;
  *outputs.BHFW = r->BHFW;
  *outputs.BHJ = r->BHJ;
  *outputs.JYQL = r->JYQL;
  return true;
}

}  // namespace lkrva::server
