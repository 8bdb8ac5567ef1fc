#include <gtest/gtest.h>

#include <vector>

#include "parking/fit_levels.h"
#include "parking/half_hour_steps.h"

namespace cvl {
namespace {

TEST(WeekSchedules, StepsBackCrossMidnightAndTheWeeksEnd) {
  EXPECT_EQ(gf_halfHoursBefore({1, 3}, 5), (WeekTime{7, 46}));
  EXPECT_EQ(gf_halfHoursBefore({4, 20}, 0), (WeekTime{4, 20}));
  EXPECT_EQ(gf_halfHoursBefore({4, 20}, 21), (WeekTime{3, 47}));
  EXPECT_EQ(gf_nextHalfHour({7, 47}), (WeekTime{1, 0}));
  EXPECT_EQ(gf_nextHalfHour({2, 47}), (WeekTime{3, 0}));
  EXPECT_EQ(gf_nextHalfHour({2, 10}), (WeekTime{2, 11}));
}

TEST(WeekSchedules, TheLastHalfHoursAreListedLatestFirst) {
  EXPECT_EQ(lf_lastHalfHours({2, 1}, 4), (std::vector<int>{1, 0, 47, 46}));
  EXPECT_EQ(lf_lastHalfHours({1, 30}, 1), (std::vector<int>{30}));
  EXPECT_TRUE(lf_lastHalfHours({1, 30}, 0).empty());
  std::vector<int> slots{7};
  lf_collectHalfHoursBack(slots, 2, {1, 0});
  EXPECT_EQ(slots, (std::vector<int>{7, 0, 47}));
}

TEST(WeekSchedules, FitLevelsReadAsHours) {
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(-3), 0.5F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(0), 0.5F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(9), 5.0F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(10), 6.0F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(25), 12.0F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(26), 15.0F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(43), 21.0F);
  EXPECT_FLOAT_EQ(gf_fitLevelToHours(47), 24.0F);
}

}  // namespace
}  // namespace cvl
