// Interlocked reference counts, safe to change from any thread.
#pragma once

#include <atomic>

#include "lkrva/com_types.h"

namespace lkrva::com {

/// A COM reference count. Increment and Decrement return the new value, as
/// AddRef and Release report it.
class RefCount {
 public:
  explicit RefCount(ULONG initial = 0) noexcept : count_(initial) {}
  ULONG Increment() noexcept { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
  /// Acquire-release so the Release that reaches 0 sees every earlier write.
  ULONG Decrement() noexcept { return count_.fetch_sub(1, std::memory_order_acq_rel) - 1; }
  ULONG Value() const noexcept { return count_.load(std::memory_order_acquire); }

 private:
  std::atomic<ULONG> count_;
};

}  // namespace lkrva::com
