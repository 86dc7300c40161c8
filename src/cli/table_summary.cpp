// Counting and reading back a computed survey table for the summary.
#include "cli/table_summary.hpp"

#include <exception>

#include "data/database.hpp"
#include "data/query.hpp"
#include "text/number_text.hpp"

namespace lkrva::cli {

namespace {

enum Column { kJS, kJXJ, kFWJ, kCZJS, kBHJ, kBHFW, kX, kY, kJYQL };

/// " where F" when there is a filter.
std::string FilterClause(const TableNames& n) {
  return n.filter.empty() ? "" : " where " + n.filter;
}

std::string Number(double v) { return text::FormatNumber(v, '.'); }

}  // namespace

std::optional<TableBefore> CountBeforeRun(const TableNames& n) {
  try {
    data::Database db(n.connection, '.');
    // Both counts in one pass over the table.
    data::Query q(db);
    q.Open("select count(*) as n, sum(case when " + n.columns[kJXJ] + " is null or " +
           n.columns[kFWJ] + " is null then 1 else 0 end) as m from " + n.table + FilterClause(n));
    TableBefore before;
    if (!q.Eof()) {
      before.stations = static_cast<long long>(q.FieldByName("n").AsDouble());
      before.incomplete = static_cast<long long>(q.FieldByName("m").AsDouble());
    }
    return before;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void PrintSummary(const TableNames& n, const std::optional<TableBefore>& before, double seconds,
                  std::FILE* out) {
  if (before) {
    std::fprintf(out, "computed %lld stations in %.2f s; filled the readings of %lld records\n",
                 before->stations, seconds, before->incomplete);
  } else {
    std::fprintf(out, "computed in %.2f s\n", seconds);
  }
  try {
    data::Database db(n.connection, '.');
    data::Query q(db);
    q.Open("select * from " + n.table + FilterClause(n) + " order by " + n.columns[kJS] + " desc");
    if (q.Eof()) return;
    auto value = [&](Column c) { return Number(q.FieldByName(n.columns[c]).AsDouble()); };
    std::fprintf(
        out, "deepest station: %s=%s  %s=%s  %s=%s  %s=%s  closure %s=%s at %s=%s  %s=%s\n",
        n.columns[kJS].c_str(), value(kJS).c_str(), n.columns[kCZJS].c_str(), value(kCZJS).c_str(),
        n.columns[kX].c_str(), value(kX).c_str(), n.columns[kY].c_str(), value(kY).c_str(),
        n.columns[kBHJ].c_str(), value(kBHJ).c_str(), n.columns[kBHFW].c_str(),
        value(kBHFW).c_str(), n.columns[kJYQL].c_str(), value(kJYQL).c_str());
  } catch (const std::exception&) {
    // The summary is a courtesy; the results are in the table either way.
  }
}

}  // namespace lkrva::cli
