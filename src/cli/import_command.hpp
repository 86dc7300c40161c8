// `lkrva import`: a CSV survey into a database table, and the table layout
// the table commands (import, export, plot) share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lkrva::cli {

/// The survey table's column names; by default the pinyin names.
struct SurveyColumns {
  std::string JS = "JS";      ///< measured depth
  std::string JXJ = "JXJ";    ///< inclination
  std::string FWJ = "FWJ";    ///< azimuth
  std::string CZJS = "CZJS";  ///< vertical depth
  std::string X = "X";        ///< north coordinate
  std::string Y = "Y";        ///< east coordinate
  std::string BHFW = "BHFW";  ///< closure azimuth
  std::string BHJ = "BHJ";    ///< closure distance
  std::string JYQL = "JYQL";  ///< curvature
};

/// The --columns option of the table commands: NAME=column pairs, NAME one
/// of JS, JXJ, FWJ, CZJS, BHJ, BHFW, X, Y, JYQL, over the pinyin defaults
/// ("JS=Depth,JXJ=Inc"). Throws std::invalid_argument for anything else.
SurveyColumns ParseSurveyColumns(const std::string& spec);

/// Throws std::invalid_argument unless `name` is a plain identifier,
/// [A-Za-z_][A-Za-z0-9_]*; `what` says what the name is for ("table",
/// "column JS") in the message.
void CheckIdentifier(std::string_view name, std::string_view what);

/// Checks the table name and the nine column names (CheckIdentifier) and
/// that no two columns share a name.
void CheckTableNames(std::string_view table, const SurveyColumns& columns);

struct ImportOptions {
  std::string path;        ///< the survey CSV
  std::string connection;  ///< Provider=SQLite;Data Source=... or an ODBC string
  std::string table;
  SurveyColumns columns;
  /// Create the table first: an integer primary key named ID, the nine
  /// columns as double-precision numbers and an index on the depth column.
  bool create = false;
};

struct ImportResult {
  std::size_t rows = 0;              ///< rows inserted
  std::size_t missing_readings = 0;  ///< rows whose inclination or azimuth stayed NULL
};

/// Reads the CSV (all of it before touching the database), then inserts its
/// rows in file order in one transaction: depth, inclination and azimuth,
/// a missing reading as NULL; the result columns are left NULL for
/// `lkrva table` to compute. On failure nothing stays in the database.
/// Throws csv::SurveyFileError for bad input, std::invalid_argument for bad
/// names and std::runtime_error naming the table for database failures.
ImportResult RunImport(const ImportOptions& options);

}  // namespace lkrva::cli
