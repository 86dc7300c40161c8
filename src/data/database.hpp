// One open database for the queries of a run: the driver connection, its
// transactions, and the bookkeeping that keeps every result a snapshot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/driver.hpp"

namespace lkrva::data {

class Query;

class Database {
 public:
  /// Connects as `connection_string` says (see ConnectDriver). Numbers read
  /// as text and text assigned to numbers use `separator`.
  Database(const std::string& connection_string, char separator);
  /// Takes an already open driver connection (tests, benchmarks).
  Database(std::unique_ptr<DriverConnection> driver, char separator);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  /// Starts a transaction holding the write lock; posts inside it become
  /// durable at Commit. A run commits on every path out and at least once a
  /// second, so that all it posted stays.
  void Begin();
  void Commit();
  void Rollback();
  bool InTransaction() const { return in_transaction_; }

  char Separator() const { return separator_; }
  DriverConnection& Driver() { return *driver_; }

  /// Runs a write statement. Open results that could see the write read
  /// their remaining rows first, so each stays the snapshot it was opened as.
  std::int64_t Write(const std::string& sql, const std::vector<Value>& params);

  /// Runs the COUNT that write-back uses to make sure it meets one record.
  std::int64_t CountForWrite(const std::string& sql, const std::vector<Value>& params);

 private:
  friend class Query;
  void Attach(Query* q);
  void Detach(Query* q);
  void DrainOpenResults();

  std::unique_ptr<DriverConnection> driver_;
  char separator_;
  bool in_transaction_ = false;
  std::vector<Query*> queries_;
};

}  // namespace lkrva::data
