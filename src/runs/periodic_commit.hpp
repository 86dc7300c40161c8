// Committing a run's posts at least once a second and on every way out.
#pragma once

#include <chrono>

#include "data/database.hpp"

namespace lkrva::runs {

/// The write transaction of a run on `db`. It begins only when the run is
/// about to write (a run with nothing to write takes no write lock, so it
/// never waits for other programs' readers), commits once a second has
/// passed since it began, so a crash loses at most that much derived data,
/// and commits what is left at the end. The destructor commits too (never
/// throwing), so posts made before a failure stay.
class PeriodicCommit {
 public:
  explicit PeriodicCommit(data::Database& db) : db_(db) {}
  ~PeriodicCommit();
  PeriodicCommit(const PeriodicCommit&) = delete;
  PeriodicCommit& operator=(const PeriodicCommit&) = delete;

  /// Call before each post: begins the transaction when none is open.
  void Writing();
  /// Whether the transaction is a second old (looked at every few posts).
  bool IsDue();
  /// Call after each post: commits when the transaction is a second old.
  void Due();
  /// Commits what is pending; raises when the database refuses.
  void Finish();

 private:
  data::Database& db_;
  std::chrono::steady_clock::time_point began_;
  // The clock is read every kLooksPerClock calls only: a post takes a few
  // microseconds here (a millisecond on a slow server), so a commit comes at
  // most that many posts late.
  static constexpr unsigned kLooksPerClock = 32;
  unsigned looks_ = 0;
  bool due_ = false;
};

}  // namespace lkrva::runs
