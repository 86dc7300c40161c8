// The module's object count and factory reference count.
#include "com/module_lock.hpp"

#include <atomic>

namespace lkrva::com {

namespace {
// Constant-initialised, so they are valid before any constructor of the module runs.
std::atomic<long> g_objects{0};
std::atomic<long> g_factory_refs{0};
std::atomic<long> g_locks{0};
ModuleLock g_module;
}  // namespace

void ModuleLock::ObjectCreated() noexcept { g_objects.fetch_add(1); }
void ModuleLock::ObjectDestroyed() noexcept { g_objects.fetch_sub(1); }
void ModuleLock::Lock() noexcept { g_locks.fetch_add(1); }

bool ModuleLock::Unlock() noexcept {
  long held = g_locks.load();
  // Never below 0: an unmatched unlock must not hide a live object.
  while (held > 0) {
    if (g_locks.compare_exchange_weak(held, held - 1)) return true;
  }
  return false;
}

long ModuleLock::Locks() const noexcept { return g_locks.load(); }
void ModuleLock::FactoryReferenced() noexcept { g_factory_refs.fetch_add(1); }
void ModuleLock::FactoryReleased() noexcept { g_factory_refs.fetch_sub(1); }
long ModuleLock::Objects() const noexcept { return g_objects.load(); }
long ModuleLock::FactoryReferences() const noexcept { return g_factory_refs.load(); }

HRESULT ModuleLock::CanUnload() const noexcept {
  return (Objects() == 0 && Locks() == 0 && FactoryReferences() == 0) ? S_OK : S_FALSE;
}

ModuleLock& Module() noexcept { return g_module; }

}  // namespace lkrva::com
