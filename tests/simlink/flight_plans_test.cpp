#include <gtest/gtest.h>

#include "engine/ac_identity.h"
#include "foundation/constants.h"
#include "link_fixture.h"
#include "simlink/flight_plan_file.h"
#include "simlink/flight_plan_folder.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

AcIdentity identityOf(AcCategory category, std::string origin, std::string destination) {
  IdentityTexts texts;
  texts.origin = std::move(origin);
  texts.destination = std::move(destination);
  AcIdentity identity{texts};
  identity.category = category;
  return identity;
}

class FlightPlans : public LinkTest {
 protected:
  FlightPlans() { gf_createFlightPlanFolder(); }
  ~FlightPlans() override { flightPlanFolder.clear(); }

  std::filesystem::path written(std::uint32_t objectId, const AcIdentity& identity) const {
    const auto path = flightPlanFolder / gf_flightPlanPath(objectId);
    EXPECT_TRUE(gf_writeFlightPlan(path, identity));
    return path;
  }

  TempFolder appData_;
  ScopedEnvironment config_{"XDG_CONFIG_HOME", appData_.path().string()};
};

TEST_F(FlightPlans, APlanHoldsExactlyTheRouteInTheFolderUnderTheObjectId) {
  const auto path = written(4711, identityOf(AcCategory::Heavy, "EDDF", "KJFK"));
  EXPECT_EQ(path, appData_.path() / "Corvalen" / "orig_dest" / "4711.pln");
  EXPECT_EQ(readFile(path),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<SimBase.Document Type=\"AceXML\" version=\"4,3\">\n"
            "<FlightPlan.FlightPlan>\n"
            "<FPType>IFR</FPType>\n"
            "<DepartureID>EDDF</DepartureID>\n"
            "<DestinationID>KJFK</DestinationID>\n"
            "</FlightPlan.FlightPlan>\n"
            "</SimBase.Document>\n"
            "\n");
}

TEST_F(FlightPlans, OnlyJetsFlyByInstruments) {
  for (const auto category : {AcCategory::Buzjets, AcCategory::Large, AcCategory::Heavy}) {
    EXPECT_NE(readFile(written(1, identityOf(category, "EDDF", "EDDM"))).find("<FPType>IFR</FPType>"),
              std::string::npos);
  }
  for (const auto category : {AcCategory::Light, AcCategory::HighPerf, AcCategory::Rotorcraft}) {
    EXPECT_NE(readFile(written(1, identityOf(category, "EDDF", "EDDM"))).find("<FPType>VFR</FPType>"),
              std::string::npos);
  }
}

TEST_F(FlightPlans, ARewrittenPlanReplacesTheOldOneWholly) {
  written(77, identityOf(AcCategory::Large, "EGLL", "LFPG"));
  const auto path = written(77, identityOf(AcCategory::Light, "X", "Y"));
  EXPECT_EQ(readFile(path).find("EGLL"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
}

TEST_F(FlightPlans, CodesOfTheTrafficServiceCannotBreakTheXml) {
  const auto path = written(5, identityOf(AcCategory::Large, "<A&B>", "\"Q'"));
  const auto text = readFile(path);
  EXPECT_NE(text.find("<DepartureID>&lt;A&amp;B&gt;</DepartureID>"), std::string::npos);
  EXPECT_NE(text.find("<DestinationID>&quot;Q&apos;</DestinationID>"), std::string::npos);
}

TEST_F(FlightPlans, TheSimulatorTakesTheWrittenPlan) {
  startEmulator();
  connect();
  gf_queueCreateRequest({{50.04, 8.58, 1364, 0, 0, 250, 0, 160}, "DLH4AB", "Airbus A320 Lufthansa", 4711000});
  frame();
  pump();
  const std::uint32_t objectId = emulator->state()["objects"][0]["id"];
  const auto path = written(objectId, identityOf(AcCategory::Large, "ED&DF", "EDDM"));
  {
    const std::lock_guard lock{simConnectMutex};
    ASSERT_TRUE(SUCCEEDED(
        SimConnect_AISetAircraftFlightPlan(hSimConnect, objectId, path.string().c_str(), REQ_AI_FLIGHT_PLAN)));
  }
  pump();
  const auto plan = objectState(objectId)["flightPlan"];
  ASSERT_FALSE(plan.is_null());
  EXPECT_EQ(plan["departure"], "ED&DF");
  EXPECT_EQ(plan["destination"], "EDDM");
  EXPECT_FALSE(logged("load flight plan failed"));
}

TEST_F(FlightPlans, TheFolderGoesAtTheEndAndAMissingOneIsNoFailure) {
  written(1, identityOf(AcCategory::Large, "A", "B"));
  EXPECT_TRUE(gf_removeFlightPlanFolder());
  EXPECT_FALSE(std::filesystem::exists(flightPlanFolder));
  EXPECT_TRUE(gf_removeFlightPlanFolder());
  EXPECT_FALSE(logged("gf_removeFlightPlanFolder"));
}

}  // namespace
}  // namespace cvl::test
