// Building the station arrays from survey records.
#include "trajectory/stations.hpp"

#include <stdexcept>
#include <string>

#include "trajectory/extended.hpp"

namespace lkrva::trajectory {

void StationArrays::clear() {
  JSArray.clear();
  JXJArray.clear();
  FWJArray.clear();
}

void ResetStations(StationArrays& stations, std::size_t record_count) {
  stations.FWJArray.assign(record_count + 1, 0.0);
  stations.JXJArray.assign(record_count + 1, 0.0);
  stations.JSArray.assign(record_count + 1, 0.0);
}

void PutStation(StationArrays& stations, std::size_t k, const SurveyRecord& record, double CPJ) {
  if (k == 0 || k >= stations.size()) {
    throw std::out_of_range("station " + std::to_string(k) + " lies outside the " +
                            std::to_string(stations.size()) + " loaded stations");
  }
  // The sum is formed in extended precision and stored, as every value of the
  // computation is.
  const double corrected = Store(real(record.FWJ) + CPJ);
  stations.JSArray[k] = record.JS;
  // The surface station points the way the first record does, in the same
  // corrected frame; leaving it uncorrected would bend the first segment by
  // the declination and skew every closure azimuth below it.
  if (k == 1) stations.FWJArray[0] = corrected;
  stations.FWJArray[k] = corrected;
  stations.JXJArray[k] = record.JXJ;
}

StationArrays LoadStations(std::span<const SurveyRecord> records, double CPJ) {
  StationArrays stations;
  ResetStations(stations, records.size());
  for (std::size_t k = 1; k <= records.size(); ++k) PutStation(stations, k, records[k - 1], CPJ);
  return stations;
}

}  // namespace lkrva::trajectory
