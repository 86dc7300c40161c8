// The station arrays: the survey as the segment walk sees it.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace lkrva::trajectory {

/// One survey record's readings as the walk takes them.
/// Depth in the length unit of the survey; angles in degrees.
struct SurveyRecord {
  double JS;   ///< measured depth
  double JXJ;  ///< inclination from the vertical, degrees
  double FWJ;  ///< azimuth clockwise from north, degrees, without declination
};

/// Element 0 is the surface station, element k the k-th record in depth
/// order. The three arrays always have the same length.
struct StationArrays {
  std::vector<double> JSArray;   ///< measured depth
  std::vector<double> JXJArray;  ///< inclination, degrees
  std::vector<double> FWJArray;  ///< azimuth + declination, degrees, not wrapped into [0, 360)

  /// Number of stations, the surface included (N + 1 after loading N records).
  std::size_t size() const { return JSArray.size(); }
  /// Index of the deepest station (N), or 0 when nothing is loaded.
  std::size_t last() const { return JSArray.empty() ? 0 : JSArray.size() - 1; }
  void clear();
};

/// Sizes the arrays for `record_count` records (N + 1 stations) and sets the
/// surface station to depth 0, inclination 0, azimuth 0 until record 1 arrives.
void ResetStations(StationArrays& stations, std::size_t record_count);

/// Puts record k (1 ≤ k ≤ N) into station k, its azimuth corrected by the
/// declination `CPJ` (degrees). Record 1 also gives the surface station its
/// corrected azimuth, so the first segment does not turn by the declination.
/// Throws std::out_of_range when k lies outside the arrays.
void PutStation(StationArrays& stations, std::size_t k, const SurveyRecord& record, double CPJ);

/// Builds the arrays from records in depth order (the order of the walk).
StationArrays LoadStations(std::span<const SurveyRecord> records, double CPJ);

}  // namespace lkrva::trajectory
