// The run's connection and query operations.
#include "data/data_module.hpp"

#include <exception>

#include "data/error.hpp"
#include "data/statements.hpp"
#include "text/regional_settings.hpp"

namespace lkrva::data {

void OpenConnection(DataState& s, const std::string& connection_string) {
  s.ADOConn.reset();
  // Set before connecting would be ideal, but the reference can only hold
  // an open connection; a failed connect leaves it empty, which is what
  // CloseConnection expects of a failed start.
  s.ADOConn = std::make_unique<Database>(connection_string, text::RegionalDecimalSeparator());
  CreateQuery(s.MainQuery, *s.ADOConn);
  CreateQuery(s.UpdateQuery, *s.ADOConn);
  CreateQuery(s.LookupQuery, *s.ADOConn);
  CreateQuery(s.RecordQuery, *s.ADOConn);
}

void CreateQuery(std::unique_ptr<Query>& ref, Database& connection) {
  ref.reset();
  ref = std::make_unique<Query>(connection);
}

void OpenMainQuery(Query* query, const params::ParameterSet& p, const MessageBoxFn& show) {
  try {
    RunQuery(MainStatement(p), query);
  } catch (const std::exception&) {
    if (query) query->Close();
    if (show) show("数据初始化失败！", "警告", kMbIconWarning);
  }
}

void RunQuery(const std::string& statement, Query* query) {
  if (!query) throw DataError("statement \"" + statement + "\": no query to run it on");
  query->Close();
  query->Open(statement);
}

void ApplyFilter(Query* query, const params::ParameterSet& p) {
  if (p.FilterStr.empty()) return;
  if (!query) throw DataError("filter \"" + p.FilterStr + "\": no query to filter");
  query->SetFilter("");
  query->SetFilter(p.FilterStr);
}

void CloseConnection(DataState& s) {
  for (auto* ref : {&s.MainQuery, &s.UpdateQuery, &s.LookupQuery, &s.RecordQuery}) {
    if (*ref) {
      (*ref)->Close();
      ref->reset();
    }
  }
  s.ADOConn.reset();
}

}  // namespace lkrva::data
