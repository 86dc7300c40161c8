// Module load and unload of liblkrva.so.
#include "server/module_state.hpp"

namespace {

/// Load: the module-wide state starts empty (twelve empty texts, CPJ 0, no
/// stations). The class factory is a static object, ready before this runs.
__attribute__((constructor)) void OnModuleLoad() { lkrva::server::State(); }

/// Unload: the parameter texts and the station arrays are released.
__attribute__((destructor)) void OnModuleUnload() { lkrva::server::ReleaseState(); }

}  // namespace
