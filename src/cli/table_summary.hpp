// What `lkrva table` says after a run: stations, filled readings, the bottom
// of the hole, the time taken.
#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>

namespace lkrva::cli {

/// The survey table and its column names in transparameter's order:
/// JS, JXJ, FWJ, CZJS, BHJ, BHFW, X, Y, JYQL.
struct TableNames {
  std::string connection, table, filter;
  std::array<std::string, 9> columns;
};

/// Counted before the run: its records, and those lacking a reading.
struct TableBefore {
  long long stations = 0;
  long long incomplete = 0;
};

/// Counts the records the run will see and those it will fill; nothing when
/// the table cannot be counted (the run will then say why).
std::optional<TableBefore> CountBeforeRun(const TableNames& names);

/// Prints the summary: the counts and the deepest station's results as the
/// table now holds them. Prints only what can be read.
void PrintSummary(const TableNames& names, const std::optional<TableBefore>& before, double seconds,
                  std::FILE* out);

}  // namespace lkrva::cli
