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
  looks_ = 0;
  due_ = false;
}

bool PeriodicCommit::IsDue() {
  if (!db_.InTransaction()) return false;
  if (!due_ && ++looks_ >= kLooksPerClock) {
    looks_ = 0;
    due_ = std::chrono::steady_clock::now() - began_ >= kCommitInterval;
  }
  return due_;
}

void PeriodicCommit::Due() {
  if (IsDue()) db_.Commit();
}

void PeriodicCommit::Finish() {
  if (db_.InTransaction()) db_.Commit();
}

}  // namespace lkrva::runs
