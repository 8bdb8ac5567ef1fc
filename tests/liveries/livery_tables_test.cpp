#include "liveries/livery_tables.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "liveries/livery_table_build.h"
#include "matching_fixture.h"

namespace cvl::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

using LiveryTables = LiveryTest;

TEST_F(LiveryTables, TitlesAreStoredOnceInTitleOrderAndSplitIntoPaxAndCargoViews) {
  install({livery("KLM", "B744", "KLM 747 b"), cargoLivery("KLM", "B744", "KLM 747 cargo"),
           livery("KLM", "B744", "KLM 747 a"), cargoLivery("FDX", "B77W", "FedEx 777")});

  const auto& stored = AirlineIndex.at("KLM").at("B744");
  ASSERT_EQ(stored.size(), 3U);
  EXPECT_EQ(stored[0].title, "KLM 747 a");
  EXPECT_EQ(stored[1].title, "KLM 747 b");
  EXPECT_TRUE(stored[2].cargo);

  EXPECT_THAT(AirlineModelTitles.at(paxTitles).at("KLM").at("B744"), ElementsAre("KLM 747 a", "KLM 747 b"));
  EXPECT_THAT(AirlineModelTitles.at(cargoTitles).at("KLM").at("B744"), ElementsAre("KLM 747 cargo"));
  EXPECT_FALSE(AirlineModelTitles.at(paxTitles).contains("FDX")) << "an airline with cargo liveries only";
  EXPECT_THAT(ModelTitles.at(cargoTitles).at("B744"), ElementsAre("KLM 747 cargo"));
  EXPECT_THAT(ModelTitles.at(cargoTitles).at("B77W"), ElementsAre("FedEx 777"));
  EXPECT_FALSE(ModelTitles.at(paxTitles).contains("B77W"));

  // Every view points into the stored string itself.
  EXPECT_EQ(ModelTitles.at(paxTitles).at("B744").front().data(), stored[0].title.data());
  EXPECT_EQ(lf_findStoredTitle("KLM 747 b").data(), stored[1].title.data());
  EXPECT_TRUE(lf_findStoredTitle("KLM 747").empty());
}

// Short titles live inside their strings: views taken before the tables reached their final size would dangle.
TEST_F(LiveryTables, ViewsStayValidInLargeTablesOfShortTitles) {
  LiveryList liveries;
  for (int airline = 0; airline < 300; ++airline) {
    for (int model = 0; model < 5; ++model) {
      for (int title = 0; title < 4; ++title) {
        liveries.push_back(livery(fmt::format("A{:02}", airline), fmt::format("M{}", model),
                                  fmt::format("{}-{}-{}", airline, model, title), {}, title == 3));
      }
    }
  }
  install(liveries);
  std::size_t checked = 0;
  for (const auto& table : ModelTitles) {
    for (const auto& [model, titles] : table) {
      for (const TitleView title : titles) {
        EXPECT_EQ(lf_findStoredTitle(title), title);
        EXPECT_EQ(title.substr(title.size() - 2, 1), "-");
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, liveries.size());
}

TEST_F(LiveryTables, LiveriesWithoutAirlineTypeOrTitleAreLeftOut) {
  install({livery("", "A320", "No airline"), livery("KLM", "", "No type"), livery("KLM", "A320", ""),
           livery("KLM", "A320", "KLM A320")});
  EXPECT_EQ(AirlineIndex.size(), 1U);
  EXPECT_EQ(AirlineIndex.at("KLM").size(), 1U);
  EXPECT_THAT(log(), HasSubstr("==> 3 livery records without airline, type or title skipped\n"));
}

TEST_F(LiveryTables, QueriesOfTheSimilarModelBuild) {
  install({livery("KLMC", "A320", "KLM Cityhopper"), livery("KLM", "B744", "KLM 747"), livery("EZY", "A320", "EZY")});
  EXPECT_THAT(gf_liveryAirlineCodes(), UnorderedElementsAre("KLM", "KLM", "EZY"));
  EXPECT_TRUE(gf_airlineModelHasLivery("KLM", "B744"));
  EXPECT_FALSE(gf_airlineModelHasLivery("KLM", "A320"));
  EXPECT_FALSE(lf_genericAirlineModels().has_value());

  install({livery("ZZZ", "C172", "Generic Cessna"), livery("ZZZ", "A320", "Generic Airbus")});
  EXPECT_THAT(*lf_genericAirlineModels(), UnorderedElementsAre("C172", "A320"));
}

TEST_F(LiveryTables, TheBuildStartsFromEmptyTablesAndLogsTheirSizes) {
  const LiveryList first{livery("KLM", "B744", "KLM 747", "PH-BFA"), livery("PVT", "C172", "Private Cessna")};
  gf_buildLiveryTables(first);
  gf_buildLiveryTables({livery("DLH", "A320", "Lufthansa A320", "D-AIZA")});

  EXPECT_EQ(mainWindow.liveryCount, 1U);
  EXPECT_EQ(AirlineIndex.size(), 1U);
  EXPECT_EQ(RegcodeTitleMap.size(), 1U);
  EXPECT_EQ(RegcodeTitleMap.at("D-AIZA"), "Lufthansa A320");
  EXPECT_TRUE(CategoryLiveryModels.at(lightModels).empty()) << "the Cessna of the first build is gone";
  const std::string text = log();
  EXPECT_THAT(text, HasSubstr("1 registration codes\n1 airlines, 1 pax aircraft models and 0 cargo aircraft models\n"));
  EXPECT_THAT(text, HasSubstr("Category Large: 1 pax liverie\n"));
  EXPECT_THAT(text, HasSubstr("No generic liveries\n"));
}

}  // namespace
}  // namespace cvl::test
