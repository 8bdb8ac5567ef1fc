#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "airport_files_fixture.h"
#include "app/status_line.h"
#include "engine/conflict_rules.h"
#include "foundation/constants.h"
#include "parking/park_airport_file.h"
#include "parking/park_airport_switch.h"
#include "parking/static_calculation.h"
#include "static_parking_fixture.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

// EDDF at the stands' reference point, EDDK 30 nm north of it.
class StaticParkingUpdate : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    AirportList = {Airport{"EDDF", "FRA", baseLat, baseLon, 364.0, 0},
                   Airport{"EDDK", "CGN", baseLat + 0.5, baseLon, 302.0, 0}};
    std::filesystem::create_directories(myThirdPartyFolder);
  }

  void TearDown() override {
    parkAirportFileLoaded = false;
    gf_resetParkAirport();
    StaticParking::TearDown();
  }

  static void candidates(std::initializer_list<const char*> codes) {
    for (const char* code : codes) {
      const Airport* airport = gf_findAirportByCode(code);
      parkAirports.push_back({airport->code, "", airport->lat, airport->lon, 0.0});
    }
  }

  // EDDF's airport file: stands V1, V2 and V3 100 m apart, with an occupation of V2 and V3 on Tuesday at 10:00.
  static void writeEddfFile(const std::string& stands = eddfStands()) {
    writeFile(myThirdPartyFolder / "EDDF.xml", apfXml(apfParameter("altitude", "364"), stands));
  }

  static std::string eddfStands() {
    std::string stands;
    for (int index = 1; index <= 3; ++index) {
      stands += fmt::format("<parkpos id=\"V{}\" latitude=\"{:.6f}\" longitude=\"{:.6f}\" radius=\"25\">", index,
                            baseLat + latDegrees(100.0 * index), baseLon);
      if (index > 1) {
        stands +=
            fmt::format("<opt reg=\"D-AIZ{}\" day=\"2\" hh=\"18:22\" cs=\"DLH{}\"/>", index == 2 ? "A" : "B", index);
      }
      stands += "</parkpos>";
    }
    return stands;
  }

  static LatLon standPosition(int index) { return {baseLat + latDegrees(100.0 * index), baseLon}; }
};

TEST_F(StaticParkingUpdate, NoPositionYetMeansNothingAtAll) {
  candidates({"EDDF"});
  setUserOnGround(false, 0.00005, -0.00005, 1000.0);
  gf_updateStaticParking(true);
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_DOUBLE_EQ(parkAirports.front().distance, 0.0);
  EXPECT_FALSE(parkRecalcPending);
}

TEST_F(StaticParkingUpdate, InTheAirTheNearestCandidateInRangeAndBelowTheHeightLimitIsChosen) {
  candidates({"EDDK", "EDDF"});
  setUserOnGround(false, baseLat + 0.1, baseLon, 20000.0);
  gf_updateStaticParking(false);
  EXPECT_EQ(parkAirports.front().code, "EDDF");
  EXPECT_NEAR(parkAirports.front().distance, 6.0, 0.01);
  EXPECT_TRUE(currentParkAirport.code.empty()) << "18000 ft above the ground at most";

  setUserOnGround(false, baseLat + 0.1, baseLon + 0.00001, 3000.0);
  gf_updateStaticParking(false);
  EXPECT_EQ(currentParkAirport.code, "EDDF");
  EXPECT_TRUE(parkRecalcPending);
  EXPECT_TRUE(staticParkingBusy);
  EXPECT_TRUE(trafficReader.recordCallsigns);
  EXPECT_NE(log_.body().find("EDDF in sight at 6.0 nm"), std::string::npos);
  trafficReader.recordCallsigns = false;
}

TEST_F(StaticParkingUpdate, TheDestinationStaysInFrontButIsChosenOnlyWithinRange) {
  candidates({"EDDK", "EDDF"});
  DESTINATION.value = std::string("EDDK");
  setUserOnGround(false, baseLat + 0.1, baseLon, 3000.0);
  gf_updateStaticParking(false);
  EXPECT_EQ(parkAirports.front().code, "EDDK");
  EXPECT_NEAR(parkAirports.front().distance, 24.0, 0.01);
  EXPECT_TRUE(currentParkAirport.code.empty());

  setUserOnGround(false, baseLat + 0.4, baseLon, 3000.0);
  gf_updateStaticParking(false);
  EXPECT_EQ(currentParkAirport.code, "EDDK");
}

TEST_F(StaticParkingUpdate, OnTheGroundAtAnAirportWithoutFileNothingIsChosenAndTheLogSaysSoWhenItChanges) {
  // EDDK has a neighbour 1.2 nm south; the user stands at EDDK for an hour of updates 16 s apart.
  AirportList.insert(AirportList.begin(), Airport{"EDDA", "", baseLat + 0.48, baseLon, 300.0, 0});
  const auto standAnHour = [] {
    for (int update = 0; update < 225; ++update) {
      gf_updateStaticParking(false);
    }
  };
  setUserOnGround(true, baseLat + 0.5, baseLon);
  standAnHour();
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_EQ(gf_statusText(), "User aircraft on the ground at EDDK, no airport file found");
  setUserOnGround(true, baseLat - 0.5, baseLon);
  standAnHour();
  EXPECT_EQ(gf_statusText(), "User aircraft on the ground, no RT supported airport in sight");
  EXPECT_EQ(log_.body(),
            "Airport EDDK is closest, neighbour is EDDA\n"
            "User aircraft on the ground at EDDK, no airport file found\n"
            "User aircraft on the ground, no RT supported airport in sight\n");

  // After a flight the user lands at EDDK again.
  setUserOnGround(false, baseLat + 0.5, baseLon, 3000.0);
  gf_updateStaticParking(false);
  setUserOnGround(true, baseLat + 0.5, baseLon);
  standAnHour();
  const std::string log = log_.body();
  for (const char* line : {"Airport EDDK is closest, neighbour is EDDA\n",
                           "User aircraft on the ground at EDDK, no airport file found\n"}) {
    EXPECT_EQ(log.find(line, log.find(line) + 1), log.rfind(line)) << line;  // twice, not more
    EXPECT_NE(log.find(line), log.rfind(line)) << line;
  }
}

TEST_F(StaticParkingUpdate, OnTheGroundTheAirportsFileIsReadTheUsersStandReservedAndAircraftSelected) {
  writeEddfFile();
  setNow(at(2, 20));
  userOnGroundKnown = true;
  setUserOnGround(true, standPosition(1).lat, standPosition(1).lon);
  gf_updateStaticParking(true);
  EXPECT_EQ(currentParkAirport.code, "EDDF");
  EXPECT_EQ(gf_statusText(), "Calculating static parked aircraft ...");

  gf_updateStaticParking(false);
  EXPECT_FALSE(parkRecalcPending);
  EXPECT_EQ(parkPositions.size(), 3U);
  ASSERT_FALSE(parkAirports.empty());
  EXPECT_EQ(parkAirports.front().code, "EDDF");
  EXPECT_EQ(parkAirports.front().reservedStand, "V1");
  EXPECT_EQ(readFile(myParkAirportsPath), "EDDF,V1\n");
  EXPECT_EQ(mainWindow.reservedStandName.get(), "V1");
  EXPECT_TRUE(mainWindow.reservedStandFound);
  EXPECT_TRUE(mainWindow.parkedFileOk);
  // 3 stands at 30 %: one aircraft, and the user's stand is not among the choices.
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_EQ(parkedEntries[0].sid, 2U);
  EXPECT_EQ(parkedEntries[0].fitLevel, 0U);
  EXPECT_TRUE(staticParkingBusy);

  parkedEntries.clear();
  gf_updateStaticParking(false);
  EXPECT_FALSE(staticParkingBusy);
}

TEST_F(StaticParkingUpdate, AStandIdFromTheFileCannotForgeALogLine) {
  // V2's id holds a line feed and what looks like a line of the program's own; its position is good. V3 goes by
  // "V 155".
  std::string stands = eddfStands();
  stands.replace(stands.find("id=\"V2\""), 7, "id=\"F&#10;==> Error: forged\"");
  stands.replace(stands.find("id=\"V3\""), 7, "id=\"V 155\"");
  writeEddfFile(stands);
  setNow(at(2, 20));
  userOnGroundKnown = true;
  setUserOnGround(true, standPosition(1).lat, standPosition(1).lon);
  gf_updateStaticParking(true);
  gf_updateStaticParking(false);
  ASSERT_EQ(parkPositions.size(), 3U);
  const ParkPos& forged = parkPositions[1];
  ASSERT_EQ(forged.id, "F\n==> Error: forged");
  ASSERT_EQ(parkedEntries.size(), 1U);
  ASSERT_EQ(parkedEntries[0].sid, forged.sid);
  const ParkedEntry entry = parkedEntries[0];

  // A live aircraft parked on it keeps the static one out; once it has gone, no livery is found for the static one.
  addLive("BAW1", "A320", AcPhase::parked, forged.sid).parkedListed = true;
  addLive("BAW3", "A320", AcPhase::parked, parkPositions[2].sid).parkedListed = true;
  gf_listLiveParked();
  lf_detcs();
  liveAcs.clear();
  parkedEntries.push_back(entry);
  lf_detcs();
  // A static aircraft on it makes way when the user reserves it.
  addStatic("DLH1*", forged, "A320", "D-AIZA");
  mainWindow.reservedStandName = forged.id;
  gf_clearReservedStand();

  const std::string log = log_.body();
  EXPECT_EQ(log.find("\n==> Error: forged"), std::string::npos) << log;
  EXPECT_NE(log.find("F\\n==> Error: forged: no static parking for DLH2, live aircraft BAW1 standing here"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("F\\n==> Error: forged: DLH2*"), std::string::npos) << "no livery match";
  EXPECT_NE(log.find("F\\n==> Error: forged: DLH1*    removed from the reserved stand"), std::string::npos);
  // The window's list of parked aircraft shows the ids as the log does, an ordinary one as it is.
  ASSERT_EQ(liveParkedList.size(), 2U);
  EXPECT_EQ(liveParkedList[0].stand, "F\\n==> Error: forged");
  EXPECT_EQ(liveParkedList[1].stand, "V 155");
}

TEST_F(StaticParkingUpdate, AListedParkAirportKeepsItsReservedStandWhenTheUserStandsOnNone) {
  writeEddfFile();
  candidates({"EDDK", "EDDF"});
  parkAirports.back().reservedStand = "V3";
  writeFile(myParkAirportsPath, "EDDF,V3\nEDDK\n");
  userOnGroundKnown = true;
  setUserOnGround(true, baseLat + latDegrees(800.0), baseLon);
  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  parkRecalcPending = true;
  gf_updateStaticParking(false);
  ASSERT_EQ(parkAirports.size(), 2U);
  EXPECT_EQ(parkAirports.front().code, "EDDF");
  EXPECT_EQ(parkAirports.front().reservedStand, "V3");
  EXPECT_EQ(readFile(myParkAirportsPath), "EDDF,V3\nEDDK\n");
  EXPECT_EQ(mainWindow.reservedStandName.get(), "V3");
}

TEST_F(StaticParkingUpdate, ABrokenAirportFileCostsTheParkAirportNotTheRun) {
  writeEddfFile(
      "<parkpos id=\"V1\" latitude=\"50.1\" longitude=\"8\"/><parkpos id=\"V1\" latitude=\"50.2\" "
      "longitude=\"8\"/>");
  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  parkRecalcPending = true;
  EXPECT_NO_THROW(gf_updateStaticParking(false));
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_TRUE(parkPositions.empty());
  EXPECT_NE(gf_statusText().find("appears more than once"), std::string::npos);

  ASSERT_TRUE(lf_setParkAirport("EDDK"));
  parkRecalcPending = true;
  gf_updateStaticParking(false);
  EXPECT_EQ(gf_statusText(), "lf_readParkedFile EDDK not found");
  EXPECT_FALSE(staticParkingBusy);
}

TEST_F(StaticParkingUpdate, InTheAirTheParkAirportIsLeftOutOfRangeOrForANearerCandidate) {
  candidates({"EDDF", "EDDK"});
  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  addStatic("DLH1*", addStand("V1", 0.0), "A320", "D-AIZA");
  setUserOnGround(false, baseLat + 0.2, baseLon, 3000.0);
  gf_updateStaticParking(false);
  EXPECT_EQ(currentParkAirport.code, "EDDF");

  setUserOnGround(false, baseLat + 0.35, baseLon, 3000.0);  // EDDK 9 nm, EDDF 21 nm
  gf_updateStaticParking(false);
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
  EXPECT_NE(log_.body().find("EDDF (FRA) is out of sight (21.0 nm), parked aircraft will be removed"),
            std::string::npos);

  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  setUserOnGround(false, baseLat + 0.26, baseLon, 3000.0);  // EDDK 14.4 nm, EDDF 15.6 nm
  gf_updateStaticParking(false);
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_NE(log_.body().find("EDDK is in sight (14.4 nm), parked aircraft at EDDF (FRA) will be removed first"),
            std::string::npos);
}

TEST_F(StaticParkingUpdate, NoWantedAircraftMeansNoPositionsAndTheControlsComeBack) {
  ParkPos& stand = addStand("V1", 0.0);
  addOption(stand, "D-AIZA", "A320", 1, slots({10}));
  MAX_PARK_SEL.value = 0;
  setNow(at(1, 10));
  lf_calcStaticParked();
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_FALSE(staticParkingBusy);
  EXPECT_NE(log_.body().find("no parking positions found"), std::string::npos);
}

TEST_F(StaticParkingUpdate, TheAverageParkedTimeCountsAcrossTheWeeksEnd) {
  ParkPos& stand = addStand("V1", 0.0);
  addStatic("DLH1*", stand, "A320", "D-AIZA").parkedSince = at(7, 46);
  addStatic("DLH2*", stand, "A320", "D-AIZB", AcState::removingfromsim).parkedSince = at(1, 0);
  addStatic("DLH3*", stand, "A320", "D-AIZC", AcState::adding2sim).parkedSince = at(1, 0);
  setNow(at(1, 1));
  EXPECT_EQ(gf_countStaticParked(true), 2U);
  EXPECT_FLOAT_EQ(mainWindow.staticAverageFit, 1.5F);  // 3 + 1 half hours for 2 aircraft
  mainWindow.staticWeekMark = true;
  setNow(at(1, 9));
  gf_countStaticParked(true);
  EXPECT_FLOAT_EQ(mainWindow.staticAverageFit, 1.5F);
  mainWindow.staticWeekMark = false;
}

}  // namespace
}  // namespace cvl::test
