#include "parking/quality_factors.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl {
namespace {

ParkPos standOf(double radiusMetres) {
  return ParkPos("S", {}, StandPlace{50.0, 8.0, 0.0}, radiusMetres, false, false, false);
}

StandOption optionOn(std::uint32_t day, HalfHourSet hours, std::uint32_t real = 1, std::uint32_t id = 1) {
  StandOption option;
  option.day = day;
  option.hh = hours;
  option.real = real;
  option.id = id;
  return option;
}

TEST(QualityFactors, NothingToRateWithoutOptions) {
  EXPECT_EQ(gf_computeQualityFactors({}).Qf_real, -1);
  const auto factors = gf_computeQualityFactors({standOf(37.0), standOf(20.0)});
  EXPECT_EQ(factors.Qf_real, -1);
  EXPECT_EQ(factors.Qf_soft, -1);
  EXPECT_EQ(gf_qualityText(factors), "  ");
}

TEST(QualityFactors, OptionsScoreByCountDaysAndHalfHoursOverTheWeightOfAllStands) {
  std::vector<ParkPos> stands{standOf(37.04)};
  stands[0].options.push_back(optionOn(3, HalfHourSet{0b1111}));
  auto factors = gf_computeQualityFactors(stands);
  EXPECT_EQ(factors.Qf_real, 63) << "20 + 10000 + 100 + 8 = 10128 x 0.00625";
  EXPECT_EQ(factors.Qf_soft, 0);
  EXPECT_EQ(gf_qualityText(factors), "63");

  stands.push_back(standOf(37.04));
  factors = gf_computeQualityFactors(stands);
  EXPECT_EQ(factors.Qf_real, 32) << "the stand without options doubles the weight";
  EXPECT_EQ(gf_qualityText(factors), "32/ 0");

  stands[1].options = {optionOn(0, HalfHourSet{1}, 0), optionOn(4, HalfHourSet{1}, 0, 0)};
  factors = gf_computeQualityFactors(stands);
  EXPECT_EQ(factors.Qf_soft, 31) << "day 0 counts without a day, id 0 not at all: (20 + 10000 + 2) / 2";
}

TEST(QualityFactors, CountsAndHalfHoursAreCapped) {
  std::vector<ParkPos> stands{standOf(37.0)};
  for (std::uint32_t id = 1; id <= 300; ++id) {
    stands[0].options.push_back(optionOn(1 + id % 7, HalfHourSet{}.set(), 1, id));
  }
  EXPECT_EQ(gf_computeQualityFactors(stands).Qf_real, 99) << "4000 + 10000 + 700 + 1200 = 15900 x 0.00625";
}

TEST(QualityFactors, StandsOfEveryOrdinarySizeWeighTheSame) {
  // The weight compares the radius in nautical miles with 7 and 10, so 5 m, 9 m and 37 m stands all weigh 0.3.
  std::vector<ParkPos> mixed{standOf(5.0), standOf(9.0), standOf(37.0)};
  mixed[1].options.push_back(optionOn(3, HalfHourSet{0b1111}));
  const auto factors = gf_computeQualityFactors(mixed);
  EXPECT_EQ(factors.Qf_real, 21) << "10128 x 0.3 / 0.9 = 3376 x 0.00625";
  EXPECT_EQ(factors.Qf_soft, 0);
}

}  // namespace
}  // namespace cvl
