// The two calculation runs behind mathtable and mathrecord.
#pragma once

#include "server/module_state.hpp"
#include "ui/user_interface.hpp"

namespace lkrva::server {

/// Where mathrecord's caller wants the eight results.
struct RecordOutputs {
  double* JXJ;
  double* FWJ;
  double* CZJS;
  double* BHJ;
  double* BHFW;
  double* X;
  double* Y;
  double* JYQL;
};

/// Computes every station of the table and writes the results back,
/// showing progress through `ui`. Tells the user of failures itself.
void RunWholeTable(ModuleState& state, ui::UserInterface& ui, double gtdjs);

/// Computes down to the station at depth `JS`; true when it wrote the outputs.
bool RunSingleDepth(ModuleState& state, ui::UserInterface& ui, double JS, double gtdjs,
                    const RecordOutputs& outputs);

}  // namespace lkrva::server
