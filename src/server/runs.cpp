// The calculation runs; until survey tables can be reached they do nothing.
#include "server/runs.hpp"

namespace lkrva::server {

void RunWholeTable(ModuleState&, ui::UserInterface&, double) {
  // No table access yet: the run ends at once and changes nothing.
}

bool RunSingleDepth(ModuleState&, ui::UserInterface&, double, double, const RecordOutputs&) {
  // No table access yet: nothing is written.
  return false;
}

}  // namespace lkrva::server
