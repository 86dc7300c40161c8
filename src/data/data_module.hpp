// The connection and the four queries of a run, and the operations that
// open, run, filter and free them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "data/database.hpp"
#include "data/query.hpp"
#include "params/parameter_set.hpp"

namespace lkrva::data {

/// Message box styles, the values Windows uses.
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconWarning = 0x30;

/// Shows a modal message with one OK button (UTF-8 texts); the server wires
/// it to the user-interface seam.
using MessageBoxFn =
    std::function<void(const std::string& text, const std::string& caption, unsigned flags)>;

/// The module-wide references, each empty or owning one object. Between
/// runs all are empty. The connection is declared first so that it is
/// destroyed after the queries.
struct DataState {
  std::unique_ptr<Database> ADOConn;
  std::unique_ptr<Query> MainQuery;
  std::unique_ptr<Query> UpdateQuery;
  std::unique_ptr<Query> LookupQuery;
  std::unique_ptr<Query> RecordQuery;
};

/// Connects to `connection_string` and creates the four queries on it.
/// Raises when the database cannot be opened (no query exists then).
void OpenConnection(DataState& s, const std::string& connection_string);

/// Frees what `ref` held and puts a new query on `connection` there.
void CreateQuery(std::unique_ptr<Query>& ref, Database& connection);

/// Runs the main statement on `query`. Never raises: any failure (including
/// a missing query) shows "数据初始化失败！" titled "警告" with a warning
/// icon and leaves the query closed.
void OpenMainQuery(Query* query, const params::ParameterSet& p, const MessageBoxFn& show);

/// Closes `query`, gives it `statement` and opens it. Raises on failure.
void RunQuery(const std::string& statement, Query* query);

/// Filters `query` by FilterStr unless that is empty; raises when the text
/// is no filter.
void ApplyFilter(Query* query, const params::ParameterSet& p);

/// Closes and frees the four queries, then the connection; each step checks
/// its own reference, so it is safe after a half-done OpenConnection and
/// does nothing when all are empty.
void CloseConnection(DataState& s);

}  // namespace lkrva::data
