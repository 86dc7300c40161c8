// What keeps the module loaded: live objects, server locks, factory references.
#pragma once

#include "lkrva/com_types.h"

namespace lkrva::com {

/// Counts of one module, changed by interlocked operations from any thread:
/// live objects, server locks (LockServer) and references to the class
/// factory. The module may unload only when all three are 0.
class ModuleLock {
 public:
  void ObjectCreated() noexcept;
  void ObjectDestroyed() noexcept;
  void Lock() noexcept;
  /// Takes back one Lock(); false (and nothing changed) when none is held.
  bool Unlock() noexcept;
  long Locks() const noexcept;
  void FactoryReferenced() noexcept;
  void FactoryReleased() noexcept;
  long Objects() const noexcept;
  long FactoryReferences() const noexcept;
  /// S_OK when nothing holds the module, otherwise S_FALSE.
  HRESULT CanUnload() const noexcept;
};

/// The one instance of this module.
ModuleLock& Module() noexcept;

}  // namespace lkrva::com
