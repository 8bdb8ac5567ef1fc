#include <gtest/gtest.h>

#include <filesystem>

#include "simemu/scenario.h"
#include "simemu/title_list.h"
#include "support/sample_data.h"
#include "support/temp_folder.h"

namespace cvl::simemu {
namespace {

using test::TempFolder;
using test::writeFile;

const auto sampleFile = test::sampleDataFolder() / "scenario.json";

TEST(SimemuScenario, TheSampleStandsAtFrankfurt) {
  const auto scenario = loadScenario(sampleFile);
  EXPECT_EQ(scenario.user.atcType, "A320");
  EXPECT_DOUBLE_EQ(scenario.user.latitude, 50.0333);
  EXPECT_DOUBLE_EQ(scenario.user.longitude, 8.5706);
  EXPECT_DOUBLE_EQ(scenario.user.altitudeFt, 364);
  EXPECT_TRUE(scenario.user.onGround);
  EXPECT_GT(scenario.user.wingspanFt, 100);
  EXPECT_DOUBLE_EQ(scenario.groundAltitudeFt, 364);
  EXPECT_FALSE(scenario.unixTime);
}

TEST(SimemuScenario, MembersLeftOutKeepTheSamplesValues) {
  TempFolder folder;
  writeFile(folder.path() / "s.json",
            R"({"user": {"lat": 40.6413, "lon": -73.7781, "alt": 13}, "unixTime": 1709294400,
                "traffic": [{"title": "Heli", "tail": "N1", "type": "helicopter", "lat": 40.7, "lon": -73.8}]})");
  const auto scenario = loadScenario(folder.path() / "s.json");
  EXPECT_DOUBLE_EQ(scenario.user.latitude, 40.6413);
  EXPECT_EQ(scenario.user.atcType, "A320");
  EXPECT_DOUBLE_EQ(scenario.groundAltitudeFt, 13);
  EXPECT_EQ(scenario.unixTime, 1709294400);
  ASSERT_EQ(scenario.traffic.size(), 1u);
  EXPECT_EQ(scenario.traffic[0].type, SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER);
  EXPECT_EQ(scenario.traffic[0].tail, "N1");
}

TEST(SimemuScenario, ABadFileIsRefusedNamingTheFault) {
  TempFolder folder;
  const std::vector<std::pair<std::string, std::string>> cases{
      {R"({"user": {"lat": "north"}})", "user.lat has the wrong type"},
      {R"({"traffic": [{"type": "boat"}]})", "traffic[0].type must be"},
      {R"({"traffic": {}})", "traffic is not a list"},
      {R"({"user": )", "not JSON"},
      {R"([1, 2])", "not a JSON object"},
  };
  for (const auto& [content, reason] : cases) {
    writeFile(folder.path() / "bad.json", content);
    try {
      loadScenario(folder.path() / "bad.json");
      ADD_FAILURE() << content;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(loadScenario(folder.path() / "missing.json"), std::runtime_error);
}

TEST(SimemuTitleList, TitlesAreTrimmedAndCommentsSkipped) {
  TempFolder folder;
  writeFile(folder.path() / "refused.txt", "# not installed\r\n  Airbus A320 Broken  \r\n\r\nBoeing 737 Gone\n");
  EXPECT_EQ(loadTitleList(folder.path() / "refused.txt"),
            (std::set<std::string>{"Airbus A320 Broken", "Boeing 737 Gone"}));
  EXPECT_THROW(loadTitleList(folder.path() / "missing.txt"), std::runtime_error);
}

}  // namespace
}  // namespace cvl::simemu
