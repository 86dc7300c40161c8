// Committing a run's posts at least once a second and on every way out.
#pragma once

#include <chrono>

#include "data/database.hpp"

namespace lkrva::runs {

/// Holds a transaction open on `db` for the run's writes. Due() commits and
/// starts a new one once a second has passed, so a crash loses at most that
/// much derived data; Finish() commits what is left. The destructor commits
/// too (never throwing), so posts made before a failure stay.
class PeriodicCommit {
 public:
  explicit PeriodicCommit(data::Database& db);
  ~PeriodicCommit();
  PeriodicCommit(const PeriodicCommit&) = delete;
  PeriodicCommit& operator=(const PeriodicCommit&) = delete;

  /// Commits and begins anew when the last commit is a second old.
  void Due();
  /// Commits what is pending; raises when the database refuses.
  void Finish();

 private:
  data::Database& db_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace lkrva::runs
