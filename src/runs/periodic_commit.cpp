// Periodic commits of a run's transaction.
#include "runs/periodic_commit.hpp"

namespace lkrva::runs {

namespace {
constexpr auto kCommitInterval = std::chrono::seconds(1);
}

PeriodicCommit::PeriodicCommit(data::Database& db)
    : db_(db), last_(std::chrono::steady_clock::now()) {
  db_.Begin();
}

PeriodicCommit::~PeriodicCommit() {
  try {
    if (db_.InTransaction()) db_.Commit();
  } catch (...) {
    // Reached only on a path that already failed; that failure is the one
    // the user hears about.
  }
}

void PeriodicCommit::Due() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < kCommitInterval) return;
  db_.Commit();
  db_.Begin();
  last_ = now;
}

void PeriodicCommit::Finish() {
  if (db_.InTransaction()) db_.Commit();
}

}  // namespace lkrva::runs
