#include "simlink/ai_objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/exit_reasons.h"
#include "link_fixture.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_results.h"

namespace cvl::test {
namespace {

constexpr SIMCONNECT_DATA_INITPOSITION nearTheUser{50.0340, 8.5720, 364, 0, 0, 160, 1, 0};
constexpr SIMCONNECT_DATA_INITPOSITION climbingOut{50.0400, 8.5800, 1364, 0, 0, 250, 0, 160};

struct InRange {
  double altitudeAboveGround = 0;
  double groundAltitude = 364;
  std::int64_t onGround = 1;
  char atcId[32] = {};
};

struct AddedAircraft {
  InRange inRange;
  char title[256] = {};
};

InRange inRangeBlock(const char* atcId, double altitudeAboveGround) {
  InRange block;
  block.altitudeAboveGround = altitudeAboveGround;
  block.onGround = altitudeAboveGround > 0 ? 0 : 1;
  std::strncpy(block.atcId, atcId, sizeof(block.atcId));
  return block;
}

// One object of a range scan as the simulator reports it.
void scanned(std::uint32_t objectId, const char* atcId, double altitudeAboveGround = 0) {
  SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE message;
  message.dwRequestID = REQ_AC_IN_RANGE;
  message.dwObjectID = objectId;
  const InRange block = inRangeBlock(atcId, altitudeAboveGround);
  lf_onSimObjectDataByType(message, std::as_bytes(std::span{&block, 1}));
}

// The simulator's answer to the link's request for the data of an added aircraft.
void answered(std::uint32_t objectId, const char* atcId, const std::string& title, double altitudeAboveGround = 0) {
  AddedAircraft block{inRangeBlock(atcId, altitudeAboveGround)};
  std::strncpy(block.title, title.c_str(), sizeof(block.title) - 1);
  lf_onAddedAircraftData(objectId, std::as_bytes(std::span{&block, 1}));
}

void objectEvent(std::uint32_t eventId, std::uint32_t objectId,
                 SIMCONNECT_SIMOBJECT_TYPE type = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT) {
  SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE event;
  event.uEventID = eventId;
  event.dwData = objectId;
  event.eObjType = type;
  lf_onObjectAddRemove(event);
}

void added(std::uint32_t objectId, SIMCONNECT_SIMOBJECT_TYPE type = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT) {
  objectEvent(EVT_OBJECT_ADDED, objectId, type);
}

class AiObjects : public LinkTest {
 protected:
  void SetUp() override {
    startEmulator();
    connect();
  }

  // Queues the creation and lets the next frames send it and take the simulator's answer.
  void create(const char* callsign, std::uint32_t hexid, const char* title = "Airbus A320 Lufthansa",
              const SIMCONNECT_DATA_INITPOSITION& position = nearTheUser) {
    gf_queueCreateRequest({position, callsign, title, hexid});
    frame();
    pump();
  }

  // The one result posted, or an empty one of kind "blocked" when there is not exactly one.
  SimResult onlyResult() {
    const auto results = gf_takeSimResults();
    EXPECT_EQ(results.size(), 1u);
    return results.size() == 1 ? results[0] : SimResult{0, 0, 0, SimResultKind::blocked, 0, 0};
  }
};

TEST_F(AiObjects, ACreatedLiveAircraftIsRecognisedByItsCallsignAndTitleAndHandedToTheProgram) {
  create("DLH4AB", 4711000, "Airbus A320 Lufthansa", climbingOut);
  ASSERT_EQ(addedObjects.size(), 1u);
  const std::uint32_t objectId = addedObjects[0];
  pump();  // the simulator answers the link's request for the data of the new object
  const auto result = onlyResult();
  EXPECT_EQ(result.kind, SimResultKind::liveCreated);
  EXPECT_EQ(result.objectId, objectId);
  EXPECT_EQ(result.hexid, 4711000u);
  EXPECT_EQ(result.value2, 1000.0);  // above the ground
  EXPECT_TRUE(pendingCreates.empty());
  EXPECT_TRUE(addedObjects.empty());

  frame();  // the freezes go out
  const auto object = objectState(objectId);
  EXPECT_EQ(object["title"], "Airbus A320 Lufthansa");
  EXPECT_EQ(object["tail"], "DLH4AB");
  EXPECT_TRUE(object["released"]);
  EXPECT_EQ(object["frozen"], (nlohmann::json{{"latLon", true}, {"altitude", true}, {"attitude", true}}));

  // A model that loads slowly may appear when the user has flown on, beyond the range the scans look at.
  create("DLH4AC", 4711001, "Airbus A320 Lufthansa", {51.5, 8.57, 3000, 0, 0, 0, 0, 250});
  pump();
  EXPECT_EQ(onlyResult().hexid, 4711001u);
}

TEST_F(AiObjects, AStaticParkedAircraftIsReportedWithoutHeight) {
  create("DLH2", 10000);
  pump();
  const auto result = onlyResult();
  EXPECT_EQ(result.kind, SimResultKind::staticCreated);
  EXPECT_EQ(result.hexid, 10000u);
}

TEST_F(AiObjects, ARefusedTitleIsReportedWithItsHexid) {
  create("DLH9", 777777, "Broken Livery");
  const auto result = onlyResult();
  EXPECT_EQ(result.kind, SimResultKind::createRefused);
  EXPECT_EQ(result.hexid, 777777u);
  EXPECT_EQ(result.objectId, 0u);
  EXPECT_TRUE(pendingCreates.empty());
}

TEST_F(AiObjects, ARefusalWithoutPacketIdTakesTheFirstEntryWithout) {
  pendingCreates = {{5, 11111, "A", "T"}, {0, 22222, "B", "T"}, {0, 33333, "C", "T"}};
  lf_onCreateRefused(0);
  EXPECT_EQ(onlyResult().hexid, 22222u);
  ASSERT_EQ(pendingCreates.size(), 2u);
}

TEST_F(AiObjects, AnObjectUnderACallsignOfSeveralCreationsGoesToTheOldestWithItsTitle) {
  // A creation given up may still show after a later aircraft took its callsign.
  const std::string longTitle(300, 'L');
  pendingCreates = {{1, 11111, "DLH1", "Airbus A320 Lufthansa"},
                    {2, 22222, "DLH1", "Cessna 172"},
                    {3, 33333, "DLH1", "Airbus A320 Lufthansa"},
                    {4, 44444, "DLH2", longTitle}};
  for (const std::uint32_t objectId : {300u, 301u, 302u, 303u}) {
    added(objectId);
  }
  answered(300, "DLH1", "Cessna 172");
  EXPECT_EQ(onlyResult().hexid, 22222u);
  answered(301, "DLH1", "Airbus A320 Lufthansa");
  EXPECT_EQ(onlyResult().hexid, 11111u);
  // A title the simulator's field cut short is still its creation's.
  answered(302, "DLH2", longTitle.substr(0, 255));
  EXPECT_EQ(onlyResult().hexid, 44444u);
  // Under the callsign of a creation but with a title of none, the object is not the program's.
  answered(303, "DLH1", "Boeing 737");
  EXPECT_TRUE(gf_takeSimResults().empty());
  ASSERT_EQ(pendingCreates.size(), 1u);
  EXPECT_EQ(pendingCreates[0].hexid, 33333u);
}

TEST_F(AiObjects, TheStarRuleAppliesOnlyToObjectsNotJustAdded) {
  pendingCreates = {{1, 11111, "DLH1*", "Airbus A320 Lufthansa"}};
  added(300);
  scanned(300, "DLH1*");  // its data has not come yet
  EXPECT_TRUE(gf_takeSimResults().empty());
  answered(300, "DLH1*", "Airbus A320 Lufthansa");
  EXPECT_EQ(onlyResult().kind, SimResultKind::liveCreated);
  scanned(301, "DLH7*");
  scanned(302, "");
  EXPECT_TRUE(gf_takeSimResults().empty());
}

TEST_F(AiObjects, OtherAircraftInRangeAreReportedUpTo2500FeetAboveGround) {
  scanned(400, "N123AB", 2500.0);
  scanned(401, "N124AB", 2500.1);
  const auto result = onlyResult();
  EXPECT_EQ(result.kind, SimResultKind::inRange);
  EXPECT_EQ(result.objectId, 400u);
  EXPECT_EQ(result.hexid, 0u);  // not on the ground
  EXPECT_EQ(result.value1, 364.0);
  EXPECT_EQ(result.value2, 2500.0);
}

TEST_F(AiObjects, ObjectsAtOrBelowTheUserAndOtherTypesAreLeftAlone) {
  added(2);
  added(500, SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER);
  EXPECT_TRUE(addedObjects.empty());
  scanned(2, "D-ASIM");
  EXPECT_TRUE(gf_takeSimResults().empty());
}

TEST_F(AiObjects, NewAircraftOfTheSimulatorAreOnlyLoggedAndAsGenOnlyOnce) {
  for (const std::uint32_t objectId : {600u, 601u, 602u, 603u}) {
    added(objectId);
  }
  answered(600, "AS-GEN", "Airbus A320");
  answered(601, "AS-GEN", "Airbus A320");
  answered(602, "EZY12", "Airbus A320", 1200.4);
  answered(603, "EZY\n==> Error 81\x1b", "Airbus A320");  // another player's callsign, as it came over the network
  EXPECT_TRUE(gf_takeSimResults().empty());
  const auto log = logText();
  EXPECT_EQ(log.find("Spawned by Asobo"), log.rfind("Spawned by Asobo"));
  EXPECT_NE(log.find("\nSpawned by Asobo, oid: 600, callsign AS-GEN, altaboveGnd:0 ft, onground:1, gnd_alt:364 ft\n "
                     "This message will be logged only once...\n"),
            std::string::npos);
  EXPECT_NE(log.find("just spawned, but not by Corvalen, oid: 602, callsign 'EZY12', altaboveGnd:1200 ft, "
                     "onground:0, gnd_alt:364 ft"),
            std::string::npos);
  EXPECT_NE(log.find("oid: 603, callsign 'EZY\\n==> Error 81\\x1b', altaboveGnd"), std::string::npos) << log;
}

TEST_F(AiObjects, ARemovalIsSentAndItsObjectReportedGone) {
  create("DLH4AB", 4711000);
  const std::uint32_t objectId = addedObjects.at(0);
  pump();
  ASSERT_EQ(onlyResult().kind, SimResultKind::liveCreated);
  gf_queueRemoval(objectId);
  frame();
  pump();
  EXPECT_TRUE(objectState(objectId).is_null());
  const auto result = onlyResult();
  EXPECT_EQ(result.kind, SimResultKind::removed);
  EXPECT_EQ(result.objectId, objectId);

  // An aircraft the simulator removes again before its data came is not waited for any longer.
  added(700);
  objectEvent(EVT_OBJECT_REMOVED, 700);
  EXPECT_TRUE(addedObjects.empty());
}

TEST_F(AiObjects, TheUserAircraftIsNeverRemoved) {
  gf_queueRemoval(2);
  frame();
  EXPECT_TRUE(logged("==> SimConnect call to remove ac with objectid 2"));
  EXPECT_FALSE(emulator->state()["user"].is_null());
  EXPECT_FALSE(stopRequested);
}

TEST_F(AiObjects, AFailedCreationCallEndsTheCycleAndLeavesNothingPending) {
  const HANDLE connection = hSimConnect.exchange(nullptr);  // as when the connection is gone
  lf_createAcInSim({nearTheUser, "DLH4AB", "Airbus A320 Lufthansa", 4711000});
  hSimConnect = connection;
  EXPECT_TRUE(pendingCreates.empty());
  EXPECT_TRUE(
      logged("==> ! Simcon call to create ac in sim failed, hexid:4711000, liv: 'Airbus A320 Lufthansa', "
             "callsign: DLH4AB)"));
  EXPECT_EQ(exitReason, ExitReason::simConnectError);
}

}  // namespace
}  // namespace cvl::test
