// The tool as a host of KRVA: load liblkrva.so, hand over the parameters, run.
#pragma once

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace lkrva::cli {

/// What `lkrva table` and `lkrva record` hand to the server.
struct KrvaHostOptions {
  std::string connection;  ///< ADOConString
  std::string table;       ///< Tablename
  std::string filter;      ///< FilterStr; empty for none
  std::string columns;     ///< "JS=Depth,JXJ=Inc,..."; unnamed columns keep their pinyin names
  std::optional<std::string> declination;  ///< the prompt's answer; none: ask the user
  double gtdjs = 30;
  double depth = 0;  ///< `record` only: the measured depth wanted
};

/// Thrown for options the server must not see (an unknown column name).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// transparameter, then mathtable. 0 when the run was made; 1 when the
/// declination was cancelled or refused (the user has been told).
/// Throws UsageError, or std::runtime_error when the library cannot be used.
int RunTable(const KrvaHostOptions& options);

/// transparameter, then mathrecord; prints the eight results as CSV on `out`.
/// 0 when they were written; 1 when the declination was not confirmed or no
/// result came back. Throws as RunTable.
int RunRecord(const KrvaHostOptions& options, std::FILE* out);

}  // namespace lkrva::cli
