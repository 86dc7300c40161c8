// The process-wide operation lock and the per-thread re-entry mark.
#include "server/operation_guard.hpp"

#include <mutex>

namespace lkrva::server {

namespace {
std::mutex g_operation;
thread_local bool t_running = false;
}  // namespace

OperationGuard::OperationGuard() {
  if (t_running) {
    refused_ = true;
    return;
  }
  g_operation.lock();
  t_running = true;
}

OperationGuard::~OperationGuard() {
  if (refused_) return;
  t_running = false;
  g_operation.unlock();
}

}  // namespace lkrva::server
