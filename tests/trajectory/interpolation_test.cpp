#include "trajectory/interpolation.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace lkrva::trajectory {
namespace {

TEST(interpolation, between_two_neighbours) {
  const struct {
    const char* name;
    Neighbour upper, lower;
    double d, jxj, fwj;
  } cases[] = {
      {"plain", {100, 10, 40}, {200, 20, 60}, 150, 15, 50},
      {"shorter arc across north", {100, 10, 350}, {200, 20, 10}, 150, 15, 0},
      {"shorter arc the other way", {100, 10, 10}, {200, 20, 350}, 175, 17.5, 355},
      {"equal neighbours keep their value", {100, 7, 123}, {200, 7, 123}, 150, 7, 123},
      {"equal azimuths of 360 stay 360", {100, 1, 360}, {200, 2, 360}, 150, 1.5, 360},
      {"result brought into range", {100, 10, 359}, {200, 10, 3}, 190, 10, 2.6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Reading r = InterpolateBetween(c.d, c.upper, c.lower);
    EXPECT_NEAR(r.JXJ, c.jxj, 1e-12);
    EXPECT_NEAR(r.FWJ, c.fwj, 1e-12);
    EXPECT_GE(r.FWJ, 0);
  }
}

TEST(interpolation, one_or_no_neighbour) {
  const Neighbour n{100, 12, 34};
  const Reading only_upper = InterpolateBetween(150, n, std::nullopt);
  EXPECT_EQ(only_upper.JXJ, 12);
  EXPECT_EQ(only_upper.FWJ, 34);
  const Reading only_lower = InterpolateBetween(50, std::nullopt, n);
  EXPECT_EQ(only_lower.JXJ, 12);
  EXPECT_EQ(only_lower.FWJ, 34);
  const Reading none = InterpolateBetween(50, std::nullopt, std::nullopt);
  EXPECT_EQ(none.JXJ, 0);
  EXPECT_EQ(none.FWJ, 0);
}

TEST(fill, incomplete_rows_in_a_row_take_the_row_filled_above) {
  std::vector<PartialRecord> rows = {
      {100, 10, 40}, {150, std::nullopt, 45}, {200, 12, std::nullopt}, {250, 30, 60}};
  EXPECT_EQ(FillMissingReadings(rows), 2u);
  // 150 from 100 and 250; 200 from 150 (just filled) and 250.
  EXPECT_NEAR(*rows[1].JXJ, 10 + 20 * 50.0 / 150, 1e-12);
  EXPECT_NEAR(*rows[1].FWJ, 40 + 20 * 50.0 / 150, 1e-12);
  EXPECT_NEAR(*rows[2].JXJ, *rows[1].JXJ + (30 - *rows[1].JXJ) * 0.5, 1e-12);
  // A present reading of an incomplete row is replaced too.
  EXPECT_NE(*rows[1].FWJ, 45);
}

TEST(fill, works_in_depth_order_whatever_the_row_order) {
  std::vector<PartialRecord> rows = {
      {300, 30, 30}, {200, std::nullopt, std::nullopt}, {100, 10, 10}};
  FillMissingReadings(rows);
  EXPECT_NEAR(*rows[1].JXJ, 20, 1e-12);
  EXPECT_NEAR(*rows[1].FWJ, 20, 1e-12);
}

TEST(fill, edges_of_the_survey_and_equal_depths) {
  std::vector<PartialRecord> rows = {{50, std::nullopt, std::nullopt},
                                     {100, 10, 40},
                                     {100, std::nullopt, std::nullopt},
                                     {200, std::nullopt, 5}};
  EXPECT_EQ(FillMissingReadings(rows), 3u);
  EXPECT_EQ(*rows[0].JXJ, 10);  // only a lower neighbour
  EXPECT_EQ(*rows[0].FWJ, 40);
  EXPECT_EQ(*rows[2].JXJ, 10);  // a complete row at the same depth lends its readings
  EXPECT_EQ(*rows[3].FWJ, 40);  // only an upper neighbour

  std::vector<PartialRecord> lonely = {{10, std::nullopt, 3}};
  FillMissingReadings(lonely);
  EXPECT_EQ(*lonely[0].JXJ, 0);
  EXPECT_EQ(*lonely[0].FWJ, 0);
}

}  // namespace
}  // namespace lkrva::trajectory
