#include "simlink/creation_failures.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "app/exit_reasons.h"
#include "app/status_line.h"
#include "engine/ac_identity.h"
#include "engine/no_match_set.h"
#include "foundation/user_error.h"
#include "link_fixture.h"

namespace cvl::test {
namespace {

class CreationFailures : public LinkTest {
 protected:
  // The identity of an aircraft whose livery title was refused; the title is owned by the test, as the livery
  // tables own theirs.
  AcIdentity refused(const std::string& title) {
    titles_.push_back(std::make_unique<std::string>(title));
    IdentityTexts texts;
    texts.callsign = "DLH4AB";
    texts.type = "A320";
    texts.airline = "DLH";
    AcIdentity identity{texts};
    identity.liveryTitle = *titles_.back();
    return identity;
  }

  std::vector<std::unique_ptr<std::string>> titles_;
};

TEST_F(CreationFailures, ARefusedTitleIsShownAndRemembered) {
  gf_reportCreationFailure(refused("Airbus A320 Lufthansa Retro"));
  EXPECT_EQ(gf_statusText(), "DLH4AB 'Airbus A320 Lufthansa Retro' could not be created by your Sim!");
  EXPECT_TRUE(gf_isFailedTitle("Airbus A320 Lufthansa Retro"));
  EXPECT_EQ(failedCreations, std::set<std::string>{"A320 DLH"});
}

TEST_F(CreationFailures, RememberedTitlesOutliveTheLiveryTables) {
  gf_reportCreationFailure(refused("Airbus A320 Lufthansa Retro"));
  titles_.clear();  // the livery tables are built again
  ASSERT_EQ(FailedTitles.size(), 1u);
  EXPECT_EQ(FailedTitles[0], "Airbus A320 Lufthansa Retro");
}

TEST_F(CreationFailures, TheTwentiethRefusedTitleEndsTheRun) {
  for (int i = 1; i <= 19; ++i) {
    gf_reportCreationFailure(refused(i == 2 ? "Livery 1" : fmt::format("Livery {}", i)));
  }
  EXPECT_FALSE(logged("Error 81"));
  try {
    gf_reportCreationFailure(refused("Livery 20"));
    FAIL() << "no error";
  } catch (const UserErrorException& error) {
    EXPECT_STREQ(error.what(), "81: There are too many liveries that could not be created by MSFS!, see Log.txt");
  }
  EXPECT_TRUE(logged("\n===> Error 81, There are too many liveries that could not be created by MSFS!\n"));
}

TEST_F(CreationFailures, NothingCountsWhileTheProgramStops) {
  stopRequested = true;
  gf_reportCreationFailure(refused("Airbus A320 Lufthansa Retro"));
  EXPECT_TRUE(FailedTitles.empty());
  EXPECT_EQ(gf_statusText(), "");
}

TEST_F(CreationFailures, TheAircraftWithoutLiveryAreLoggedUnderOneHeading) {
  gf_logNoMatch();
  EXPECT_FALSE(logged("No match found for:"));
  noMatchSet = {"DLH/A320 D-AIPA"};
  gf_logNoMatch();
  EXPECT_TRUE(logged("\nNo match found for:\nDLH/A320 D-AIPA\n\n"));
}

}  // namespace
}  // namespace cvl::test
