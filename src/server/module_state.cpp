// The module-wide state, made on load and freed on unload.
#include "server/module_state.hpp"

#include <atomic>

namespace lkrva::server {

namespace {
// A pointer rather than a static object, so unloading frees the state at a
// point we choose instead of in an order the loader chooses.
std::atomic<ModuleState*> g_state{nullptr};
}  // namespace

ModuleState& State() {
  ModuleState* state = g_state.load(std::memory_order_acquire);
  if (state != nullptr) return *state;
  auto* fresh = new ModuleState;
  if (g_state.compare_exchange_strong(state, fresh, std::memory_order_acq_rel)) return *fresh;
  delete fresh;  // another thread was first
  return *state;
}

void ReleaseState() noexcept { delete g_state.exchange(nullptr, std::memory_order_acq_rel); }

}  // namespace lkrva::server
