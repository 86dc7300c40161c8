#include "trajectory/stations.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace lkrva::trajectory {
namespace {

struct Station {
  double js, jxj, fwj;
};

Station At(const StationArrays& s, std::size_t k) {
  return {s.JSArray[k], s.JXJArray[k], s.FWJArray[k]};
}

TEST(stations, surface_station_takes_the_corrected_azimuth_of_the_first_record) {
  const std::vector<SurveyRecord> records = {{100, 2, 30}};
  for (double cpj : {0.0, -3.5, 5.0}) {
    const StationArrays s = LoadStations(records, cpj);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s.JSArray[0], 0);
    EXPECT_EQ(s.JXJArray[0], 0);
    EXPECT_EQ(s.FWJArray[0], 30 + cpj) << "cpj " << cpj;
    EXPECT_EQ(s.FWJArray[1], 30 + cpj);
    EXPECT_EQ(s.JSArray[1], 100);
    EXPECT_EQ(s.JXJArray[1], 2);
  }
}

TEST(stations, corrected_azimuths_are_not_wrapped) {
  const std::vector<SurveyRecord> records = {{100, 1, 359}, {200, 1, 2}};
  const StationArrays plus = LoadStations(records, 5);
  EXPECT_EQ(plus.FWJArray[1], 364);
  EXPECT_EQ(plus.FWJArray[2], 7);
  const StationArrays minus = LoadStations(records, -5);
  EXPECT_EQ(minus.FWJArray[2], -3);
}

TEST(stations, first_record_at_depth_zero_gives_a_zero_length_first_segment) {
  const std::vector<SurveyRecord> records = {{0, 0, 10}, {50, 1, 10}};
  const StationArrays s = LoadStations(records, 0);
  EXPECT_EQ(s.JSArray[0], s.JSArray[1]);
  EXPECT_EQ(s.last(), 2u);
}

TEST(stations, put_station_refuses_indices_outside_the_arrays) {
  StationArrays s;
  ResetStations(s, 2);
  EXPECT_THROW(PutStation(s, 0, {1, 1, 1}, 0), std::out_of_range);
  EXPECT_THROW(PutStation(s, 3, {1, 1, 1}, 0), std::out_of_range);
  EXPECT_NO_THROW(PutStation(s, 2, {1, 1, 1}, 0));
  // Station 0 keeps its zero azimuth until record 1 arrives.
  EXPECT_EQ(At(s, 0).fwj, 0);
}

}  // namespace
}  // namespace lkrva::trajectory
