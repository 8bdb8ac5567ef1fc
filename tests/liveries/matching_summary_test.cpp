#include "liveries/matching_summary.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/utilities.h"
#include "matching_fixture.h"

namespace cvl::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using MatchingSummary = LiveryTest;

TEST_F(MatchingSummary, CategoryCountsNamePaxAndCargoLiveries) {
  install({cargoLivery("FDX", "B77W", "FedEx 777"), cargoLivery("KLM", "B744", "KLM 747 Cargo"),
           livery("KLM", "A320", "KLM A320")});
  const auto mark = log().size();
  lf_categorySummary(AcCategory::Heavy);
  lf_categorySummary(AcCategory::Large);
  lf_categorySummary(AcCategory::Buzjets);
  EXPECT_EQ(log().substr(mark),
            "Category Heavy: 0 pax liveries and 2 cargo liveries\n  B744,B77W\n"
            "Category Large: 1 pax liverie\n  A320\n"
            "Category Buzjets: No livery found\n");
  EXPECT_TRUE(CategoryLiveryModels.at(buzjetModels).empty());
}

TEST_F(MatchingSummary, SmallCategoryModelsAreListedTwentyALineAndKept) {
  LiveryList liveries;
  for (int model = 0; model < 41; ++model) {
    liveries.push_back(livery("ZZZ", fmt::format("L{:02}", model), fmt::format("Light {}", model)));
  }
  install(liveries);
  const auto mark = log().size();
  lf_categorySummary(AcCategory::Light);
  EXPECT_EQ(CategoryLiveryModels.at(lightModels).size(), 41U);
  EXPECT_EQ(CategoryLiveryModels.at(lightModels).front(), "L00");
  EXPECT_EQ(log().substr(mark),
            "Category Light: 41 pax liveries\n"
            "  L00,L01,L02,L03,L04,L05,L06,L07,L08,L09,L10,L11,L12,L13,L14,L15,L16,L17,L18,L19\n"
            "  L20,L21,L22,L23,L24,L25,L26,L27,L28,L29,L30,L31,L32,L33,L34,L35,L36,L37,L38,L39\n"
            "  L40\n");
}

TEST_F(MatchingSummary, ACategoryWithoutLiveriesSwitchesItsTrafficOffOnce) {
  LIGHT_AIRCRAFT.value = true;
  HIGH_PERF_AIRCRAFT.value = false;
  lf_categorySummary(AcCategory::Light);
  lf_categorySummary(AcCategory::HighPerf);
  EXPECT_FALSE(LIGHT_AIRCRAFT.value);
  EXPECT_EQ(log(),
            "Category Light: No livery found\n"
            "LIGHT_AIRCRAFT=false\n"
            "LIGHT_AIRCRAFT temporarily switched off because you do not have light aircraft installed\n"
            "Category HighPerf: No livery found\n");
}

TEST_F(MatchingSummary, GenericModelsAreCountedAndListed) {
  lf_genericLiverySummary();
  install({livery("ZZZ", "C172", "Generic Cessna"), livery("ZZZ", "C172", "Generic Cessna 2")});
  lf_genericLiverySummary();
  install({livery("ZZZ", "C172", "Generic Cessna"), livery("ZZZ", "A320", "Generic Airbus")});
  lf_genericLiverySummary();
  EXPECT_EQ(log(),
            "No generic liveries\n"
            "0 similar model definitions\n1 model have a generic livery\n  C172\n"
            "0 similar model definitions\n2 models have a generic livery\n  A320,C172\n");
  EXPECT_TRUE(CategoryLiveryModels.at(lightModels).empty());
}

TEST_F(MatchingSummary, TheMatchingSummaryNeedsALiveMatch) {
  failedCreations = {"B744 KLM"};
  gf_liveryMatchingSummary();
  EXPECT_EQ(log(), "");

  MatchStepCounters = {3, 0, 12};
  gf_liveryMatchingSummary();
  const std::string stars(100, '*');
  EXPECT_EQ(log(), fmt::format("\n{}\n"
                               "Matches at step: \n  0: 3\n  1: 0\n  2: 12\n  3: 0\n  4: 0\n  5: 0\n  6: 0\n"
                               "\nCould not be created by MSFS:\n  B744 KLM\n"
                               "{}\n\n",
                               gf_starBanner(100, 0, false, false, "live traffic livery matching summary"), stars));
}

}  // namespace
}  // namespace cvl::test
