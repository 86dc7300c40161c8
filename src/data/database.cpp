// Transactions and snapshot keeping over one driver connection.
#include "data/database.hpp"

#include <algorithm>

#include "data/error.hpp"
#include "data/query.hpp"

namespace lkrva::data {

Database::Database(const std::string& connection_string, char separator)
    : Database(ConnectDriver(connection_string), separator) {}

Database::Database(std::unique_ptr<DriverConnection> driver, char separator)
    : driver_(std::move(driver)), separator_(separator) {}

Database::~Database() {
  // Queries that outlive us lose their results rather than dangle.
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

void Database::Begin() {
  if (in_transaction_) throw DataError("a transaction is already open");
  if (driver_->CursorsEndWithTransaction()) DrainOpenResults();
  driver_->Begin();
  in_transaction_ = true;
}

void Database::Commit() {
  if (!in_transaction_) throw DataError("no transaction is open to commit");
  if (driver_->CursorsEndWithTransaction()) DrainOpenResults();
  in_transaction_ = false;
  driver_->Commit();
}

void Database::Rollback() {
  if (!in_transaction_) throw DataError("no transaction is open to roll back");
  DrainOpenResults();
  in_transaction_ = false;
  driver_->Rollback();
}

std::int64_t Database::Write(const std::string& sql, const std::vector<Value>& params) {
  if (driver_->CursorsSeeLaterWrites()) DrainOpenResults();
  return driver_->Execute(sql, params);
}

std::int64_t Database::CountForWrite(const std::string& sql, const std::vector<Value>& params) {
  if (driver_->CursorsSeeLaterWrites()) DrainOpenResults();
  const Value v = driver_->QueryValue(sql, params);
  if (const auto* n = std::get_if<std::int64_t>(&v)) return *n;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
  throw DataError("\"" + sql + "\" gave no count");
}

}  // namespace lkrva::data
