// One open database for the queries of a run: the driver connection, its
// transactions, and the bookkeeping that keeps every result a snapshot.
#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "data/driver.hpp"
#include "data/record_locator.hpp"

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
  /// The connection itself. Statements sent through it directly do not
  /// send held-back posts first.
  DriverConnection& Driver() { return *driver_; }

  /// Runs a write statement. Open results that could see the write read
  /// their remaining rows first, so each stays the snapshot it was opened as.
  std::int64_t Write(const std::string& sql, const std::vector<Value>& params);

  /// Runs the COUNT that write-back uses to make sure it meets one record.
  std::int64_t CountForWrite(const std::string& sql, const std::vector<Value>& params);

  /// Whether a post of `u` with `params` may wait to be sent with others of
  /// its shape: inside a transaction, on a database that batches updates,
  /// for a record located by key, with numbers only (a list of VALUES takes
  /// its column types from its values; numbers convert to any numeric column
  /// as a single-record UPDATE would).
  bool CanDefer(const RecordUpdate& u, const std::vector<Value>& params) const;
  /// Holds a post back, to be sent with others of the same statement. Every
  /// statement the connection runs next, and Commit, send the held posts
  /// first, so later statements see them. A post that cannot be sent then
  /// raises "the record cannot be located" for `query_sql` (the records
  /// before it are written).
  void Defer(std::shared_ptr<const RecordUpdate> u, const std::vector<Value>& params,
             const std::string& query_sql);
  /// Sends the posts held back: one COUNT makes sure that every record's
  /// key meets one row, then one UPDATE writes them all. When a key meets
  /// none, or the UPDATE fails, the records are sent one by one instead, and
  /// the first that cannot be written raises; the ones before it stay
  /// written.
  void SendDeferred();

 private:
  friend class Query;
  void Attach(Query* q);
  void Detach(Query* q);
  void DrainOpenResults();

  std::unique_ptr<DriverConnection> driver_;
  char separator_;
  bool in_transaction_ = false;
  std::vector<Query*> queries_;

  /// Posts held back: parameters of one record after another.
  struct Deferred {
    std::shared_ptr<const RecordUpdate> update;
    std::vector<Value> params;
    std::size_t records = 0;
    std::string kinds;  // of the parameters, 'i' or 'd', the same for every record
    std::string query_sql;
    std::unordered_set<std::string> keys;  // the records' key values, as bytes
  };
  Deferred deferred_;
  // The batched statement last built, for batches of the same shape and size.
  std::shared_ptr<const RecordUpdate> batched_for_;
  std::size_t batched_records_ = 0;
  std::string batched_kinds_;
  std::string batched_sql_;
  std::string batched_count_sql_;
};

}  // namespace lkrva::data
