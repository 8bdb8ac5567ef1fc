#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "liveries/livery_matcher.h"
#include "matching_fixture.h"

namespace cvl::test {
namespace {

using ::testing::HasSubstr;

using Counters = std::array<std::int32_t, matchStepCount>;

class LiveMatcher : public LiveryTest {
 protected:
  // The title given to the aircraft, and the step it was counted under (-1: none).
  struct Match {
    std::string title;
    int step = -1;
  };

  static Match match(AcIdentity aircraft) {
    const Counters before = MatchStepCounters;
    gf_matchLivery(aircraft);
    Match result{std::string{aircraft.liveryTitle}};
    for (std::size_t step = 0; step < matchStepCount; ++step) {
      if (MatchStepCounters.at(step) != before.at(step)) {
        EXPECT_EQ(result.step, -1) << "one match counts once";
        result.step = static_cast<int>(step);
      }
    }
    return result;
  }
};

MATCHER_P2(IsMatch, title, step, "") {
  return arg.title == title && arg.step == step;
}

TEST_F(LiveMatcher, TheRegistrationComesFirstAtEveryDepth) {
  install({livery("KLM", "B744", "KLM 747", "PH-BFA"), livery("KLM", "B744", "KLM 747 Retro")});
  lf_addRegcodesFromFile({{"KLM 747 Retro", {"PH-BFB"}, true}});
  MATCHING_DEPTH.value = 1;
  EXPECT_THAT(match(aircraft("KLM", "B744", "PH-BFA")), IsMatch("KLM 747", 1));
  EXPECT_THAT(match(aircraft("KLM", "B744", "PH-BFB")), IsMatch("KLM 747 Retro", 0));
  EXPECT_THAT(match(aircraft("KLM", "B744", "PH-BFC")), IsMatch("", -1)) << "depth 1 uses the registration only";
  MATCHING_DEPTH.value = 2;
  EXPECT_THAT(match(aircraft("KLM", "B744", "PH-BFC")), IsMatch("KLM 747", 2));
  EXPECT_THAT(log(), HasSubstr("          TST123   PH-BFB            KLM B744 =0= KLM 747 Retro\n"));
}

TEST_F(LiveMatcher, APrivateAircraftTriesTheGenericLiveriesFirst) {
  install({livery("PVT", "C172", "Private Cessna"), livery("ZZZ", "C172", "Generic Cessna")});
  EXPECT_THAT(match(aircraft("PVT", "C172")), IsMatch("Generic Cessna", 4));
}

TEST_F(LiveMatcher, ACargoAircraftFallsBackToItsAirlinesPaxLiveriesButNotToOtherAirlinesPaxLiveries) {
  install({livery("KLM", "B744", "KLM 747"), livery("ZZZ", "C172", "Generic Cessna"),
           livery("DLH", "C208", "Lufthansa Caravan")});
  EXPECT_THAT(match(aircraft("KLM", "B744", {}, true)), IsMatch("KLM 747", 2));
  EXPECT_THAT(match(aircraft("FDX", "C208", {}, true)), IsMatch("", -1));
  EXPECT_THAT(match(aircraft("FDX", "C208")), IsMatch("Lufthansa Caravan", 5));
}

TEST_F(LiveMatcher, TheRegistrationsAirlineCountsWhenTheDatabaseKnowsItsOperator) {
  install({livery("KLM", "B744", "KLM 747"), livery("MPH", "B744", "Martinair 747")});
  RegistrationTable["PH-BFA"] = DbaseRecord{"KLM", "B744", "KLM Royal Dutch Airlines", false};
  RegistrationTable["PH-MPS"] = DbaseRecord{"MPH", "B744", "", false};
  EXPECT_THAT(match(aircraft("XXX", "B744", "PHBFA")), IsMatch("KLM 747", 2));
  EXPECT_THAT(match(aircraft("XXX", "B744", "PH-MPS")), IsMatch("", -1));
}

TEST_F(LiveMatcher, ASimilarModelOfTheAirlineMustBeOfTheSameCategory) {
  SimilarGroups = {{"A320", "A321", "B77W"}};
  install({livery("KLM", "A321", "KLM A321"), livery("KLM", "B77W", "KLM 777")});
  EXPECT_THAT(match(aircraft("KLM", "A320")), IsMatch("KLM A321", 3));
  MATCHING_DEPTH.value = 2;
  EXPECT_THAT(match(aircraft("KLM", "A320")), IsMatch("", -1));

  install({livery("KLM", "B77W", "KLM 777")});
  MATCHING_DEPTH.value = 4;
  EXPECT_THAT(match(aircraft("KLM", "A320")), IsMatch("", -1));
}

TEST_F(LiveMatcher, OnlyTheSmallCategoriesReachTheLastSteps) {
  SimilarGroups = {{"C152", "C172"}};
  install({livery("ZZZ", "A320", "Generic Airbus"), livery("DLH", "A320", "Lufthansa A320"),
           livery("DLH", "C152", "Lufthansa Cessna")});
  MATCHING_DEPTH.value = 3;
  EXPECT_THAT(match(aircraft("EZY", "A320")), IsMatch("", -1));
  EXPECT_THAT(match(aircraft("EZY", "C172")), IsMatch("Lufthansa Cessna", 6));
  MATCHING_DEPTH.value = 4;
  EXPECT_THAT(match(aircraft("EZY", "A320")), IsMatch("Generic Airbus", 4));
}

TEST_F(LiveMatcher, SpecialTitlesAreAvoidedWhileAnOrdinaryOneIsThere) {
  install({livery("KLM", "B744", "KLM 747 a"), livery("KLM", "B744", "KLM 747 b"), livery("KLM", "B77W", "KLM 777")});
  lf_addRegcodesFromFile({{"KLM 747 a", {"PH-BFA"}, true}, {"KLM 777", {"PH-BQA"}, true}});
  EXPECT_THAT(match(aircraft("KLM", "B744")), IsMatch("KLM 747 b", 2));
  EXPECT_THAT(match(aircraft("KLM", "B77W")), IsMatch("KLM 777", 2)) << "a special title when there is no other";
}

TEST_F(LiveMatcher, ATitleTheSimulatorRefusedIsNeverGivenAgain) {
  install({livery("KLM", "B744", "KLM 747 a", "PH-BFA"), livery("KLM", "B744", "KLM 747 b"),
           livery("KLM", "B77W", "KLM 777")});
  FailedTitles = {"KLM 747 a"};
  EXPECT_THAT(match(aircraft("KLM", "B744", "PH-BFA")), IsMatch("KLM 747 b", 2));
  RANDOM.value = true;
  for (int spawn = 0; spawn < 20; ++spawn) {
    EXPECT_THAT(match(aircraft("KLM", "B744")), IsMatch("KLM 747 b", 2));
  }
  FailedTitles.push_back("KLM 747 b");
  EXPECT_THAT(match(aircraft("KLM", "B744")), IsMatch("", -1));
}

TEST_F(LiveMatcher, AnAircraftWithoutAirlineOrTypeMatchesNothingByThem) {
  install({livery("KLM", "B744", "KLM 747"), livery("ZZZ", "C172", "Generic Cessna")});
  EXPECT_THAT(match(aircraft("", "B744")), IsMatch("", -1));
  EXPECT_THAT(match(aircraft("KLM", "")), IsMatch("", -1));
}

TEST_F(LiveMatcher, AnFsltlTitleIsMarked) {
  install({livery("KLM", "B744", "FSLTL_B744_KLM"), livery("KLM", "B77W", "KLM 777")});
  auto fsltl = aircraft("KLM", "B744");
  gf_matchLivery(fsltl);
  EXPECT_TRUE(fsltl.fsltlTitle);
  auto other = aircraft("KLM", "B77W");
  other.fsltlTitle = true;
  gf_matchLivery(other);
  EXPECT_FALSE(other.fsltlTitle);
}

}  // namespace
}  // namespace cvl::test
