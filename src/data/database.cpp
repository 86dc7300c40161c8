// Transactions and snapshot keeping over one driver connection.
#include "data/database.hpp"

#include <algorithm>
#include <cstddef>

#include "data/error.hpp"
#include "data/query.hpp"

namespace lkrva::data {

Database::Database(const std::string& connection_string, char separator)
    : Database(ConnectDriver(connection_string), separator) {}

Database::Database(std::unique_ptr<DriverConnection> driver, char separator)
    : driver_(std::move(driver)), separator_(separator) {}

namespace {
// Records per batched UPDATE: a few thousand parameters, which every
// database takes, and few enough that a failed batch costs little to send
// again record by record.
constexpr std::size_t kBatchRecords = 500;
}  // namespace

Database::~Database() {
  // Queries that outlive us lose their results rather than dangle. Posts
  // still held back are inside a transaction, which ends rolled back.
  for (Query* q : queries_) q->Orphan();
  if (in_transaction_) {
    try {
      driver_->Rollback();
    } catch (const DataError&) {  // a destructor must not throw; the database ends it anyway
    }
  }
}

void Database::Attach(Query* q) { queries_.push_back(q); }

void Database::Detach(Query* q) { std::erase(queries_, q); }

void Database::DrainOpenResults() {
  for (Query* q : queries_) q->FetchAll();
}

bool Database::CanDefer(const RecordUpdate& u, const std::vector<Value>& params) const {
  if (!in_transaction_ || !u.located_by_key || u.where_names.empty() || !driver_->BatchesUpdates())
    return false;
  for (const Value& v : params)
    if (!std::holds_alternative<double>(v) && !std::holds_alternative<std::int64_t>(v))
      return false;
  return true;
}

void Database::Defer(std::shared_ptr<const RecordUpdate> u, const std::vector<Value>& params,
                     const std::string& query_sql) {
  std::string kinds;
  for (const Value& v : params) kinds += std::holds_alternative<std::int64_t>(v) ? 'i' : 'd';
  // One UPDATE changes a row once, whatever number of records name it, so
  // a record posted twice starts a new batch.
  std::string key;
  for (std::size_t i = u->set_names.size(); i < params.size(); ++i) {
    const Value& v = params[i];
    if (const auto* n = std::get_if<std::int64_t>(&v)) {
      key.append(reinterpret_cast<const char*>(n), sizeof *n);
    } else {
      const double number = std::get<double>(v) == 0 ? 0.0 : std::get<double>(v);  // -0 is 0
      key.append(reinterpret_cast<const char*>(&number), sizeof number);
    }
  }
  if (deferred_.records > 0 &&
      (deferred_.update != u || deferred_.kinds != kinds || deferred_.keys.contains(key)))
    SendDeferred();
  deferred_.keys.insert(std::move(key));
  if (deferred_.records == 0) {
    deferred_.update = std::move(u);
    deferred_.kinds = std::move(kinds);
    deferred_.query_sql = query_sql;
  }
  deferred_.params.insert(deferred_.params.end(), params.begin(), params.end());
  ++deferred_.records;
  if (deferred_.records == kBatchRecords) SendDeferred();
}

void Database::SendDeferred() {
  if (deferred_.records == 0) return;
  Deferred d = std::move(deferred_);
  deferred_ = Deferred{};
  const RecordUpdate& u = *d.update;
  if (driver_->CursorsSeeLaterWrites()) DrainOpenResults();
  const std::size_t width = d.params.size() / d.records;
  const std::size_t set_width = u.set_names.size();
  if (batched_for_ != d.update || batched_records_ != d.records || batched_kinds_ != d.kinds) {
    batched_sql_ = BatchedRecordUpdate(*driver_, u, d.records, d.kinds);
    batched_count_sql_ =
        BatchedKeyCount(*driver_, u, d.records, std::string_view(d.kinds).substr(set_width));
    batched_for_ = d.update;
    batched_records_ = d.records;
    batched_kinds_ = d.kinds;
  }
  std::vector<Value> keys;
  keys.reserve(d.records * (width - set_width));
  for (std::size_t r = 0; r < d.records; ++r)
    for (std::size_t i = set_width; i < width; ++i) keys.push_back(d.params[r * width + i]);
  const Value met = driver_->QueryValue(batched_count_sql_, keys);
  const auto* count = std::get_if<std::int64_t>(&met);
  if (count != nullptr && *count == static_cast<std::int64_t>(d.records)) {
    std::int64_t changed = -1;
    try {
      changed = driver_->Execute(batched_sql_, d.params);
    } catch (const DataError&) {
      // A value the table refuses (a constraint, a range): the failed
      // statement undid itself (psqlODBC rolls back to the savepoint it set
      // before it), and the records are sent one by one below.
    }
    if (changed == static_cast<std::int64_t>(d.records)) return;
    // Rows that another program deleted or added between the COUNT and
    // the UPDATE: what the UPDATE wrote cannot be taken back here.
    if (changed >= 0)
      throw DataError(CannotLocateRecord(d.query_sql, u.table) + ": " + std::to_string(d.records) +
                      " records changed " + std::to_string(changed) + " rows");
  }
  // A key that meets no row, or a record the table refuses: the records go
  // one by one, which writes the ones before it and names it.
  std::vector<Value> one(width);
  for (std::size_t r = 0; r < d.records; ++r) {
    std::copy_n(d.params.begin() + static_cast<std::ptrdiff_t>(r * width), width, one.begin());
    const std::int64_t changed = driver_->Execute(u.update_sql, one);
    if (changed != 1)
      throw DataError(CannotLocateRecord(d.query_sql, u.table) + " (" + std::to_string(changed) +
                      " rows have its key)");
  }
}

void Database::Begin() {
  if (in_transaction_) throw DataError("a transaction is already open");
  if (driver_->CursorsEndWithTransaction()) DrainOpenResults();
  driver_->Begin();
  in_transaction_ = true;
}

void Database::Commit() {
  if (!in_transaction_) throw DataError("no transaction is open to commit");
  SendDeferred();
  if (driver_->CursorsEndWithTransaction()) DrainOpenResults();
  in_transaction_ = false;
  driver_->Commit();
}

void Database::Rollback() {
  if (!in_transaction_) throw DataError("no transaction is open to roll back");
  deferred_ = Deferred{};  // rolled back with the rest
  DrainOpenResults();
  in_transaction_ = false;
  driver_->Rollback();
}

std::int64_t Database::Write(const std::string& sql, const std::vector<Value>& params) {
  SendDeferred();
  if (driver_->CursorsSeeLaterWrites()) DrainOpenResults();
  return driver_->Execute(sql, params);
}

std::int64_t Database::CountForWrite(const std::string& sql, const std::vector<Value>& params) {
  SendDeferred();
  if (driver_->CursorsSeeLaterWrites()) DrainOpenResults();
  const Value v = driver_->QueryValue(sql, params);
  if (const auto* n = std::get_if<std::int64_t>(&v)) return *n;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
  throw DataError("\"" + sql + "\" gave no count");
}

}  // namespace lkrva::data
