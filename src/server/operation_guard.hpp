// One operation at a time per process: other threads wait, re-entry is refused.
#pragma once

namespace lkrva::server {

/// Held for the whole of an operation. A thread that enters while another
/// thread's operation runs waits for it to end. A call that re-enters on the
/// thread whose operation is running (from a UI callback while a message or
/// prompt is open) is refused: it must give E_UNEXPECTED and change nothing,
/// because the running operation is in the middle of the shared state.
class OperationGuard {
 public:
  OperationGuard();
  ~OperationGuard();
  OperationGuard(const OperationGuard&) = delete;
  OperationGuard& operator=(const OperationGuard&) = delete;

  /// True when this is a re-entrant call that must not go on.
  bool Refused() const { return refused_; }

 private:
  bool refused_ = false;
};

}  // namespace lkrva::server
