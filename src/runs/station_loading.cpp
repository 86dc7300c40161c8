// Station loading from the main query.
#include "runs/station_loading.hpp"

namespace lkrva::runs {

std::size_t LoadStations(data::Query& main, const params::ParameterSet& p,
                         const std::vector<FilledReading>& filled,
                         trajectory::StationArrays& stations,
                         std::vector<trajectory::Reading>* readings) {
  const auto count = static_cast<std::size_t>(main.RecordCount());
  trajectory::ResetStations(stations, count);
  if (readings != nullptr) readings->assign(count + 1, trajectory::Reading{0, 0});
  main.First();
  auto next_filled = filled.begin();
  std::size_t k = 1;
  for (; k <= count && !main.Eof(); ++k, main.Next()) {
    trajectory::SurveyRecord record{main.FieldByName(p.JS).AsDouble(),
                                    main.FieldByName(p.JXJ).AsDouble(),
                                    main.FieldByName(p.FWJ).AsDouble()};
    if (next_filled != filled.end() && next_filled->record == k - 1) {
      record.JXJ = next_filled->reading.JXJ;
      record.FWJ = next_filled->reading.FWJ;
      ++next_filled;
    }
    trajectory::PutStation(stations, k, record, p.CPJ);
    if (readings != nullptr) (*readings)[k] = {record.JXJ, record.FWJ};
  }
  const std::size_t loaded = k - 1;
  if (loaded < count) {
    stations.JSArray.resize(loaded + 1);
    stations.JXJArray.resize(loaded + 1);
    stations.FWJArray.resize(loaded + 1);
    if (readings != nullptr) readings->resize(loaded + 1);
  }
  return loaded;
}

}  // namespace lkrva::runs
