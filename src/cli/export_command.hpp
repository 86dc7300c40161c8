// `lkrva export`: a survey table with its results as CSV.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/import_command.hpp"

namespace lkrva::cli {

/// One record's nine columns in the order JS, JXJ, FWJ, CZJS, X, Y, BHFW,
/// BHJ, JYQL; NULL as nothing.
using SurveyTableRow = std::array<std::optional<double>, 9>;

/// The nine columns of `table` in depth order (NULL depths first, as the
/// database sorts them), restricted by `filter` when it is not empty.
/// Throws std::invalid_argument for bad names and std::runtime_error naming
/// the table when it cannot be read or holds a value that is no number.
std::vector<SurveyTableRow> ReadSurveyTable(const std::string& connection, const std::string& table,
                                            const std::string& filter,
                                            const SurveyColumns& columns);

struct ExportOptions {
  std::string connection;
  std::string table;
  std::string filter;  ///< an SQL condition on the table; empty for all rows
  SurveyColumns columns;
  std::string out;  ///< the CSV file to write; empty or "-" for `stdout_stream`
};

/// Reads the table's nine columns in depth order and writes them as CSV with
/// the header JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL: numbers in the
/// number-to-text form with a point, NULL as an empty cell. The whole table
/// is read before anything is written. Returns the number of rows.
/// Throws std::invalid_argument for bad names and std::runtime_error naming
/// the table or the file.
std::size_t RunExport(const ExportOptions& options, std::FILE* stdout_stream);

}  // namespace lkrva::cli
