#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "liveries/static_livery_matcher.h"
#include "matching_fixture.h"

namespace cvl::test {
namespace {

using ::testing::HasSubstr;

class StaticMatcher : public LiveryTest {
 protected:
  static ParkPos stand(bool cargo = false) {
    ParkPos position;
    position.id = "A12";
    position.cargo = cargo;
    return position;
  }

  // The title given to a static aircraft on the stand; empty when the matcher found none.
  static std::string match(AcIdentity aircraft, const ParkPos& where) {
    const bool matched = gf_matchLiveryParked(aircraft, where);
    EXPECT_EQ(matched, !aircraft.liveryTitle.empty());
    return std::string{aircraft.liveryTitle};
  }
};

TEST_F(StaticMatcher, ACargoStandLooksInTheCargoLiveriesFirst) {
  install({livery("KLM", "B744", "KLM 747"), cargoLivery("KLM", "B744", "KLM 747 Cargo")});
  EXPECT_EQ(match(aircraft("KLM", "B744"), stand(true)), "KLM 747 Cargo");
  EXPECT_EQ(match(aircraft("KLM", "B744", {}, true), stand(false)), "KLM 747");
  EXPECT_THAT(log(), HasSubstr("KLM B744 =2= KLM 747 Cargo\n"));
  EXPECT_EQ(MatchStepCounters, (std::array<std::int32_t, matchStepCount>{})) << "static matches are not counted";
}

TEST_F(StaticMatcher, AnAircraftThatAlreadyHasATitleKeepsIt) {
  install({livery("KLM", "B744", "KLM 747")});
  auto parked = aircraft("KLM", "B744");
  parked.liveryTitle = "Kept title";
  EXPECT_TRUE(gf_matchLiveryParked(parked, stand()));
  EXPECT_EQ(parked.liveryTitle, "Kept title");
  EXPECT_THAT(log(), HasSubstr("KLM B744 =s= Kept title\n"));
}

TEST_F(StaticMatcher, NoMatchNamesTheStand) {
  install({livery("KLM", "B744", "KLM 747")});
  MATCHING_DEPTH.value = 1;
  EXPECT_EQ(match(aircraft("KLM", "B744", "PH-BFA"), stand()), "");
  EXPECT_THAT(log(), HasSubstr("A12     : TST123   PH-BFA KLM B744 no livery match ...\n"));
}

TEST_F(StaticMatcher, EverySimilarModelOfTheAirlineCountsWhateverItsCategory) {
  SimilarGroups = {{"A321", "B744"}};
  install({livery("KLM", "A321", "KLM A321")});
  MATCHING_DEPTH.value = 3;
  EXPECT_EQ(match(aircraft("KLM", "B744"), stand()), "KLM A321");
  EXPECT_THAT(log(), HasSubstr("KLM B744 =3= KLM A321\n"));
}

TEST_F(StaticMatcher, TheDatabaseAirlineIsTriedWithItsOwnSimilarModels) {
  SimilarGroups = {{"A320", "A321"}};
  install({livery("KLM", "A321", "KLM A321")});
  RegistrationTable["PH-AXA"] = DbaseRecord{"KLM", "A320", "KLM Royal Dutch Airlines", false};
  EXPECT_EQ(match(aircraft("", "A320", "PH-AXA"), stand()), "KLM A321");
}

TEST_F(StaticMatcher, ARefusedTitleMovesOnToTheNextAttempt) {
  install({livery("KLM", "B744", "KLM 747", "PH-BFA"), livery("ZZZ", "B744", "Generic 747")});
  FailedTitles = {"KLM 747"};
  EXPECT_EQ(match(aircraft("KLM", "B744", "PH-BFA"), stand()), "Generic 747");
  EXPECT_THAT(log(), HasSubstr("KLM B744 =4= Generic 747\n"));
}

}  // namespace
}  // namespace cvl::test
