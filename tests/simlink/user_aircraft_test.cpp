#include "simlink/user_aircraft.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/user_error.h"
#include "link_fixture.h"
#include "refdata/aircraft_database.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

constexpr double metre = 1.0 / 1852.0;  // in nautical miles

// A few types of the aircraft database, the A388 with the largest span.
class DatabaseTypes {
 public:
  DatabaseTypes() {
    KnownTypes = {"A319", "A320", "A321", "A359", "A388", "B38M", "B738", "772", "CRJ7", "E190"};
    LargeTypes = {"A319", "A320", "A321", "B38M", "B738", "CRJ7", "E190"};
    HeavyTypes = {"A359", "A388", "772"};
    HalfWingspanTable.byType = {{"A319", 17.9 * metre}, {"A320", 17.9 * metre}, {"A321", 17.9 * metre},
                                {"A359", 32.5 * metre}, {"A388", 39.9 * metre}, {"B38M", 17.9 * metre},
                                {"B738", 17.9 * metre}, {"772", 30.5 * metre},  {"CRJ7", 11.7 * metre},
                                {"E190", 14.3 * metre}};
    HalfWingspanTable.categoryAverage = {6 * metre, 10 * metre, 17 * metre, 30 * metre, 5 * metre, 7 * metre};
    maxHalfWingspan = 39.9 * metre;
  }
  ~DatabaseTypes() {
    for (auto* types : {&KnownTypes, &LargeTypes, &HeavyTypes}) {
      types->clear();
    }
    HalfWingspanTable = {};
    maxHalfWingspan = 0;
  }
  DatabaseTypes(const DatabaseTypes&) = delete;
  DatabaseTypes& operator=(const DatabaseTypes&) = delete;
};

UserAcData at(double latitude, double longitude) {
  UserAcData data;
  data.latitude = latitude;
  data.longitude = longitude;
  return data;
}

class UserAircraft : public LinkTest {
 protected:
  // The last log line that tells the model.
  std::string modelLine() const {
    const auto log = logText();
    const auto start = log.rfind("SimConnect: User aircraft model");
    return start == std::string::npos ? std::string{} : log.substr(start, log.find('\n', start) - start);
  }

  std::string deduced(std::string_view model, std::string_view title = "Some aircraft") {
    userAcTitle = title;
    lf_onUserAcModel(model);
    return modelLine();
  }

  DatabaseTypes database;
};

TEST_F(UserAircraft, TheRunLoopsRequestsMakeTheUserAircraftKnownEverySecond) {
  startEmulator();
  connect();
  {
    const std::lock_guard lock{simConnectMutex};
    ASSERT_TRUE(SUCCEEDED(SimConnect_RequestDataOnSimObject(hSimConnect, REQ_USER_ON_GROUND, DEF_SIM_ON_GROUND,
                                                            SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND)));
  }
  pump();
  EXPECT_TRUE(oneSecondFlag.exchange(false));
  EXPECT_FALSE(userOnGroundKnown);  // no position yet

  EXPECT_EQ(gf_requestUserAcPosition().latitude, 0.0);
  gf_requestUserAcTitleAndModel();
  pump();
  const auto position = gf_requestUserAcPosition();
  EXPECT_DOUBLE_EQ(position.latitude, 50.0333);
  EXPECT_DOUBLE_EQ(position.longitude, 8.5706);
  EXPECT_DOUBLE_EQ(position.altitude, 364.0);
  EXPECT_EQ(userObjectId, 1u);
  EXPECT_EQ(mainWindow.userAcTitleText.get(), "Airbus A320neo Corvalen Sample");
  EXPECT_EQ(userAcTitle, "Airbus A320neo Corvalen Sample");
  EXPECT_EQ(userCategory, AcCategory::Large);
  EXPECT_NEAR(userHalfSpanNm, 17.9 * metre, 1e-12);
  EXPECT_TRUE(mainWindow.userTypeMark);
  EXPECT_EQ(modelLine(), "SimConnect: User aircraft model: A320, half wing span: 17.9 meter, category: Large");

  for (int frames = 0; frames < 30; ++frames) {
    frame();
  }
  EXPECT_TRUE(oneSecondFlag);
  EXPECT_TRUE(userOnGroundKnown);
  EXPECT_TRUE(userOnGround);
}

TEST_F(UserAircraft, ATeleportInTheSimulatorEndsTheCycle) {
  startEmulator();
  connect();
  gf_requestUserAcPosition();
  pump();
  emulator->teleportUser(51.4700, -0.4543, std::nullopt);
  gf_requestUserAcPosition();
  pump();
  EXPECT_TRUE(logged("Teleport"));
  EXPECT_EQ(exitReason, ExitReason::newFlight);
  EXPECT_EQ(restartDelaySeconds, 45);
}

TEST_F(UserAircraft, OnlyAJumpOfMoreThanTenMilesIsATeleport) {
  lf_onUserPosition(at(50.0, 8.0), 1);
  lf_onUserPosition(at(50.0 + 9.9 / 60, 8.0), 1);
  EXPECT_FALSE(stopRequested);
  lf_onUserPosition(at(50.0 + 20.0 / 60, 8.0), 1);
  EXPECT_TRUE(stopRequested);
}

TEST_F(UserAircraft, AFirstPositionAfterARestartIsNoTeleport) {
  lf_onUserPosition(at(50.0, 8.0), 1);
  gf_resetSimLinkState();
  lf_onUserPosition(at(51.0, 8.0), 1);
  EXPECT_FALSE(stopRequested);
  EXPECT_EQ(userObjectId, 1u);
}

TEST_F(UserAircraft, OnGroundRepliesBeforeThePositionOnlyTickTheClock) {
  lf_onUserOnGround(1);
  EXPECT_TRUE(oneSecondFlag);
  EXPECT_FALSE(userOnGroundKnown);
  lf_onUserPosition(at(50.0, 8.0), 1);
  lf_onUserOnGround(0);
  EXPECT_TRUE(userOnGroundKnown);
  EXPECT_FALSE(userOnGround);
}

TEST_F(UserAircraft, TheSimulatorsDateIsKeptForTheProfessionalService) {
  UserAcData data = at(50.0, 8.0);
  data.zuluYear = 2000;
  data.zuluDayOfYear = 61;  // March 1st of a leap year
  data.zuluTime = 3600;
  lf_onUserPosition(data, 1);
  EXPECT_EQ(simUnixTime, 0);
  rtProfessional = true;
  lf_onUserPosition(data, 1);
  EXPECT_EQ(simUnixTime, 951872400);

  data.zuluYear = 1970;
  data.zuluDayOfYear = 1;
  data.zuluTime = 0;
  EXPECT_EQ(lf_zuluUnixTime(data), 0);
  data.zuluYear = 2024;
  data.zuluDayOfYear = 366;
  EXPECT_EQ(lf_zuluUnixTime(data), 1735603200);
}

TEST_F(UserAircraft, TheTitleIsCutToFortyEightCharactersWithoutSplittingOne) {
  lf_onUserAcTitle(std::string(60, 'x'));
  EXPECT_EQ(userAcTitle, std::string(48, 'x'));
  const std::string accented = std::string(47, 'a') + "\xC3\xA9" + "zzz";
  lf_onUserAcTitle(accented);
  EXPECT_EQ(mainWindow.userAcTitleText.get(), std::string(47, 'a') + "\xC3\xA9");
  lf_onUserAcTitle(accented);
  const auto log = logText();
  EXPECT_EQ(log.find("title: aaa"), log.rfind("title: aaa"));
  lf_onUserAcTitle("");
  EXPECT_TRUE(logged("! Title of your aircraft is empty?"));
}

TEST_F(UserAircraft, ModelsThatAreNoTypeCodesAreRewritten) {
  EXPECT_EQ(deduced("A350-900"), "SimConnect: User aircraft model: A359, half wing span: 32.5 meter, category: Heavy");
  EXPECT_EQ(deduced("N738B"), "SimConnect: User aircraft model: B38M, half wing span: 17.9 meter, category: Large");
  EXPECT_EQ(deduced("777"), "SimConnect: User aircraft model: 772, half wing span: 30.5 meter, category: Heavy");
  EXPECT_EQ(deduced("ATCCOM.AC_MODEL_B738.0.text"),
            "SimConnect: User aircraft model: B738, half wing span: 17.9 meter, category: Large");
  EXPECT_EQ(deduced("ATCCOM.AC_MODEL_772.0.text"),
            "SimConnect: User aircraft model: 772, half wing span: 30.5 meter, category: Heavy");
  EXPECT_EQ(deduced("$$:E190"), "SimConnect: User aircraft model: E190, half wing span: 14.3 meter, category: Large");
  EXPECT_EQ(deduced("737", "PMDG DG 737-800 Lufthansa"),
            "SimConnect: User aircraft model: B738, half wing span: 17.9 meter, category: Large");
  EXPECT_TRUE(mainWindow.userTypeMark);
}

TEST_F(UserAircraft, TheTypeWithTheLargestSpanIsStillKnown) {
  EXPECT_EQ(deduced("A388"), "SimConnect: User aircraft model: A388, half wing span: 39.9 meter, category: Heavy");
  EXPECT_TRUE(mainWindow.userTypeMark);
  EXPECT_EQ(gf_statusText(), "");
}

TEST_F(UserAircraft, AnUnknownModelTakesTheLargestSpanUnlessTheTitleNamesTheType) {
  EXPECT_EQ(deduced("$$:X"), "SimConnect: User aircraft model: $$:X, category: Light");
  EXPECT_FALSE(mainWindow.userTypeMark);
  EXPECT_EQ(userHalfSpanNm, maxHalfWingspan);
  EXPECT_EQ(gf_statusText(), "User aircraft wing span unknown, max is taken instead, please report in my Forum!");

  EXPECT_EQ(deduced("737", "Boeing 737 Classic"), "SimConnect: User aircraft model: 737, category: Light");
  EXPECT_EQ(deduced("ATCCOM.AC_MODEL_XYZ.0.text"),
            "SimConnect: User aircraft model: ATCCOM.AC_MODEL_XYZ.0.text, category: Light");

  EXPECT_EQ(deduced("Airbus", "Aerosoft A321 CFM Lufthansa"),
            "SimConnect: User aircraft model deduced from title: A321, half wing span: 17.9 meter, category: Large");
  EXPECT_TRUE(mainWindow.userTypeMark);
}

TEST_F(UserAircraft, WithoutModelTheCrj7IsTaken) {
  userCategory = AcCategory::Heavy;
  lf_onUserAcModel("");
  EXPECT_EQ(mainWindow.userAcTitleText.get(), "Unknown (encrypted?) aircraft");
  EXPECT_EQ(gf_statusText(),
            "171: No model info from your user aircraft received in SimConnect, CRJ7 is taken instead");
  EXPECT_NEAR(userHalfSpanNm, 11.7 * metre, 1e-12);
  EXPECT_TRUE(userTypeKnown);
  EXPECT_EQ(userCategory, AcCategory::Heavy);
}

}  // namespace
}  // namespace cvl::test
