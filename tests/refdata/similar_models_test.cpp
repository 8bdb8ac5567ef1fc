#include "refdata/similar_models.h"

#include <gtest/gtest.h>

#include "foundation/settings_catalogue.h"
#include "liveries/livery_tables.h"
#include "refdata/aircraft_database.h"

namespace cvl {
namespace {

using Models = std::vector<std::string>;

class SimilarModelsTest : public ::testing::Test {
 protected:
  SimilarModelsTest() {
    RANDOM.value = false;
    clearTables();
    LargeTypes = {"A20N", "A319", "A320", "A321"};
    HeavyTypes = {"B744"};
    gf_reserveSimilarModelResults();
  }
  ~SimilarModelsTest() override {
    clearTables();
    RANDOM.value = randomBefore_;
  }

  static void install(const std::string& airline, const std::string& model) {
    AirlineIndex[airline][model].push_back({airline + " " + model, false});
    ModelTitles.at(paxTitles)[model].push_back("title");
  }

 private:
  static void clearTables() {
    SimilarGroups.clear();
    LargeTypes.clear();
    HeavyTypes.clear();
    AirlineIndex.clear();
    for (auto& titles : ModelTitles) {
      titles.clear();
    }
    for (auto& models : CategoryLiveryModels) {
      models.clear();
    }
    TypeSimilarModels.clear();
    AirlineSimilarModels.clear();
  }

  bool randomBefore_{RANDOM.value.load()};
};

TEST_F(SimilarModelsTest, OnlyInstalledMembersStandForATypeInGroupOrder) {
  SimilarGroups = {{"A319", "A320", "A321"}, {"B744"}, {"C150", "C152"}};
  install("DLH", "A320");
  install("DLH", "A321");
  install("DLH", "C150");
  ModelTitles.at(cargoTitles)["B744"].push_back("cargo title");
  gf_buildSimilarModels();
  EXPECT_EQ(TypeSimilarModels.size(), 4U);
  EXPECT_EQ(gf_similarModels("A319"), (Models{"A320", "A321"}));
  EXPECT_EQ(gf_similarModels("A320"), (Models{"A321"}));
  EXPECT_EQ(gf_similarModels("A321"), (Models{"A320"}));
  EXPECT_EQ(gf_similarModels("C152"), (Models{"C150"}));
  EXPECT_FALSE(TypeSimilarModels.contains("C150"));  // its only partner has no livery
  EXPECT_FALSE(TypeSimilarModels.contains("B744"));  // a group of one
}

TEST_F(SimilarModelsTest, ATypeOfSeveralGroupsTakesTheListThatSortsFirst) {
  SimilarGroups = {{"A320", "A321"}, {"A20N", "A320"}};
  install("DLH", "A20N");
  install("DLH", "A321");
  gf_buildSimilarModels();
  EXPECT_EQ(gf_similarModels("A320"), (Models{"A20N"}));
}

TEST_F(SimilarModelsTest, AirlinesGetTheSimilarTypesTheyHaveLiveriesOf) {
  SimilarGroups = {{"A20N", "A319", "A320", "A321"}};
  install("KLM", "A20N");
  install("KLM", "A321");
  install("DLH", "A319");
  install("DLH", "A320");
  gf_buildSimilarModels();
  ASSERT_EQ(gf_similarModels("A320"), (Models{"A20N", "A319", "A321"}));
  EXPECT_EQ(gf_similarModelsForAirline("KLM", "A320"), (Models{"A20N", "A321"}));
  EXPECT_EQ(gf_similarModelsForAirline("KLM", "A319"), (Models{"A20N", "A321"}));
  EXPECT_TRUE(gf_similarModelsForAirline("KLM", "A20N").empty());  // it has liveries of its own
  EXPECT_EQ(gf_similarModelsForAirline("DLH", "A321"), (Models{"A319", "A320"}));
  EXPECT_TRUE(gf_similarModelsForAirline("EZY", "A320").empty());
}

TEST_F(SimilarModelsTest, TypesWithoutSimilarOnesFallBackByCategory) {
  gf_buildSimilarModels();
  EXPECT_TRUE(gf_similarModels("B744").empty());
  EXPECT_TRUE(gf_similarModels("C172").empty());  // no Light livery installed

  CategoryLiveryModels.at(lightModels) = {"C152", "DA40"};
  const auto& first = gf_similarModels("C172");
  EXPECT_EQ(first, (Models{"C152"}));
  CategoryLiveryModels.at(lightModels) = {"DA40"};
  const auto& second = gf_similarModels("P28A");
  EXPECT_EQ(&first, &second);  // one shared list, overwritten by the next call
  EXPECT_EQ(first, (Models{"DA40"}));
}

TEST_F(SimilarModelsTest, ARebuildForgetsTypesNoLongerInstalled) {
  SimilarGroups = {{"A319", "A320"}};
  install("DLH", "A320");
  gf_buildSimilarModels();
  ASSERT_TRUE(TypeSimilarModels.contains("A319"));
  AirlineIndex.clear();
  ModelTitles.at(paxTitles).clear();
  gf_buildSimilarModels();
  EXPECT_TRUE(TypeSimilarModels.empty());
  EXPECT_TRUE(AirlineSimilarModels.empty());
}

}  // namespace
}  // namespace cvl
