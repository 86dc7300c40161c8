// Periodic commits of a run's transaction.
#include "runs/periodic_commit.hpp"

namespace lkrva::runs {

namespace {
constexpr auto kCommitInterval = std::chrono::seconds(1);
}

PeriodicCommit::~PeriodicCommit() {
  try {
    if (db_.InTransaction()) db_.Commit();
  } catch (...) {
    // Reached only on a path that already failed; that failure is the one
    // the user hears about.
  }
}

void PeriodicCommit::Writing() {
  if (db_.InTransaction()) return;
  db_.Begin();
  began_ = std::chrono::steady_clock::now();
}

bool PeriodicCommit::IsDue() const {
  return db_.InTransaction() && std::chrono::steady_clock::now() - began_ >= kCommitInterval;
}

void PeriodicCommit::Due() {
  if (IsDue()) db_.Commit();
}

void PeriodicCommit::Finish() {
  if (db_.InTransaction()) db_.Commit();
}

}  // namespace lkrva::runs
