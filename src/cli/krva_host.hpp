// The tool as a host of KRVA: find the library (by the registry when KRVA is registered), hand
// over the parameters, run.
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
  double depth = 0;    ///< `record` only: the measured depth wanted
  bool quiet = false;  ///< no progress line
  bool csv = false;    ///< `record` only: the eight values as one CSV line under a header
  /// Leave the prompt, the messages and the progress to the server (windows
  /// where there is a display); the exit code then cannot tell of a failed
  /// run, which the user sees in its window.
  bool gui = false;
};

/// The library the tool uses when KRVA is not registered: the one next to
/// the tool (../lib/liblkrva.so), else the one it was built with.
std::string BuiltLibraryPath();

/// Where the KRVA object comes from: when LKRVA.KRVA is registered
/// (docs/registration.md), activation by ProgID through the registry, with
/// the library the registry names; otherwise BuiltLibraryPath(). A class
/// registered but impossible to create is an error (std::runtime_error
/// naming the result code), never a silent switch to another library.
///
/// transparameter, then mathtable, then a summary on `out` (stations,
/// filled readings, the deepest station, the time taken). 0 when the run
/// was made; 1 when the declination was cancelled or refused or the run
/// failed (the user has been told why).
/// Throws std::invalid_argument for an unknown column name (--columns), or
/// std::runtime_error when the library cannot be used.
int RunTable(const KrvaHostOptions& options, std::FILE* out);

/// transparameter, then mathrecord; prints the eight results on `out`, each
/// with its name, meaning and unit (or as CSV).
/// 0 when they were written; 1 when the declination was not confirmed or no
/// result came back. Throws as RunTable.
int RunRecord(const KrvaHostOptions& options, std::FILE* out);

}  // namespace lkrva::cli
