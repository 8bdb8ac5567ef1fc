#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_state.h"
#include "engine/sim_result_handling.h"
#include "engine/static_ac.h"
#include "engine_step_fixture.h"
#include "foundation/constants.h"
#include "simlink/creation_failures.h"
#include "simlink/flight_plan_file.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

constexpr double degree = 0.017453292519943295;

std::size_t eventCount(std::uint32_t objectId, std::uint32_t event) {
  return static_cast<std::size_t>(
      std::count_if(simSendQueues.clientEvents.begin(), simSendQueues.clientEvents.end(),
                    [&](const ClientEventItem& item) { return item.objectId == objectId && item.event == event; }));
}

StaticAc& addStaticInCreation(std::uint32_t hexid, const std::string& callsign) {
  IdentityTexts texts;
  texts.callsign = callsign;
  texts.type = "A320";
  AcIdentity identity{texts};
  identity.hexid = hexid;
  StaticAc& aircraft = staticAcs.emplace_back(identity, 0, StandPlace{}, false);
  aircraft.state = AcState::adding2sim;
  return aircraft;
}

void handle(const SimResult& result) {
  gf_postSimResult(result);
  gf_handleSimResults();
}

using SimResults = EngineStep;

TEST_F(SimResults, TheStaticCgHeightAndPitchAreTakenWithinTheirBounds) {
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 7);
  aircraft.staticCgHeight = 8.0;
  handle(result(SimResultKind::staticCg, 7, 0, 40.0, -1.0 * degree));
  EXPECT_EQ(aircraft.staticCgHeight, 8.0);
  EXPECT_DOUBLE_EQ(aircraft.staticPitch, 0.7 * degree);
  handle(result(SimResultKind::staticCg, 7, 0, 35.0, 2.5 * degree));
  EXPECT_EQ(aircraft.staticCgHeight, 35.0);
  EXPECT_DOUBLE_EQ(aircraft.staticPitch, 2.5 * degree);
  handle(result(SimResultKind::staticCg, 8, 0, 12.0, 0.0));
  EXPECT_EQ(aircraft.staticCgHeight, 35.0);
}

TEST_F(SimResults, AMatchedAirborneCreationBecomesActiveAfterTwoHundredTicksWithItsEnginesAndLights) {
  LiveAc& aircraft = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.state = AcState::adding2sim;
  aircraft.simPos.altitude = 12000.0;
  handle(result(SimResultKind::liveCreated, 9, liveHexid, 0.0, 11000.0));
  EXPECT_EQ(aircraft.objectId, 9U);
  EXPECT_EQ(aircraft.heightAgl, 11000.0);
  ASSERT_EQ(createdObjects.size(), 1U);
  for (int tick = 1; tick < 200; ++tick) {
    gf_handleSimResults();
  }
  EXPECT_EQ(aircraft.state, AcState::adding2sim);
  EXPECT_TRUE(simSendQueues.clientEvents.empty());
  gf_handleSimResults();
  EXPECT_EQ(aircraft.state, AcState::active);
  EXPECT_TRUE(createdObjects.empty());
  EXPECT_EQ(eventCount(9, ENGINE_AUTO_START), 1U);
  ASSERT_EQ(eventCount(9, LANDING_LIGHTS_SET), 1U);
  const auto landing = std::find_if(simSendQueues.clientEvents.begin(), simSendQueues.clientEvents.end(),
                                    [](const ClientEventItem& item) { return item.event == LANDING_LIGHTS_SET; });
  EXPECT_EQ(landing->value, 0U);  // above 10000 ft
  const auto cabin = std::find_if(simSendQueues.clientEvents.begin(), simSendQueues.clientEvents.end(),
                                  [](const ClientEventItem& item) { return item.event == CABIN_LIGHTS_SET; });
  EXPECT_EQ(cabin->value, 1U);
}

TEST_F(SimResults, ARemovalAskedForDuringTheCreationTakesTheObjectOutAsSoonAsItShows) {
  LiveAc& aircraft = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.state = AcState::adding2sim;
  aircraft.waitRemove = true;
  handle(result(SimResultKind::liveCreated, 9, liveHexid));
  EXPECT_TRUE(aircraft.remove);
  EXPECT_EQ(aircraft.objectId, 0U);
  EXPECT_EQ(simSendQueues.removals, (std::vector<std::uint32_t>{9}));
  EXPECT_TRUE(createdObjects.empty());
}

TEST_F(SimResults, AnAircraftTakenOutWhileItIsActivatedLeavesAtOnceAndStaysLeaving) {
  LiveAc& aircraft = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.state = AcState::adding2sim;
  handle(result(SimResultKind::liveCreated, 9, liveHexid));
  removeAircraftFromSim(aircraft);
  EXPECT_EQ(removalBacklog, (std::deque<std::uint32_t>{9}));
  for (int tick = 0; tick < 200; ++tick) {
    gf_handleSimResults();
  }
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_EQ(removalBacklog.size(), 1U);
}

TEST_F(SimResults, AMatchWhoseAircraftHasGoneIsDroppedAtItsActivationAge) {
  LiveAc& aircraft = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.state = AcState::adding2sim;
  handle(result(SimResultKind::liveCreated, 9, liveHexid));
  liveAcs.clear();
  for (int tick = 0; tick < 200; ++tick) {
    gf_handleSimResults();
  }
  EXPECT_TRUE(createdObjects.empty());
}

TEST_F(SimResults, AMatchWithoutAUsableObjectIdLetsTheRecordGo) {
  LiveAc& aircraft = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.state = AcState::adding2sim;
  handle(result(SimResultKind::liveCreated, 2, liveHexid));
  EXPECT_TRUE(aircraft.remove);
  EXPECT_TRUE(createdObjects.empty());
}

TEST_F(SimResults, AMatchedStaticAircraftIsParkedAfterTwoHundredTicks) {
  addStaticInCreation(17, "STAT1");
  handle(result(SimResultKind::staticCreated, 77, 17));
  for (int tick = 0; tick < 200; ++tick) {
    gf_handleSimResults();
  }
  EXPECT_EQ(staticAcs[0].state, AcState::active);
  EXPECT_EQ(staticAcs[0].objectId, 77U);
  EXPECT_EQ(eventCount(77, ENGINE_AUTO_SHUTDOWN), 1U);
  EXPECT_TRUE(logged("sid==0? : STAT1    parked"));
}

TEST_F(SimResults, ARefusedCreationReportsItsTitleAndErasesTheRecord) {
  LiveAc& live = addBuffered(flying(liveHexid, "AAA1", 0.0, 0));
  live.liveryTitle = "Broken Livery";
  addBuffered(flying(liveHexid + 1, "BBB2", 0.0, 0));
  addStaticInCreation(17, "STAT1").liveryTitle = "Broken Static";
  handle(result(SimResultKind::createRefused, 0, liveHexid));
  ASSERT_EQ(liveAcs.size(), 1U);
  EXPECT_EQ(liveAcs[0].callsign, "BBB2");
  handle(result(SimResultKind::createRefused, 0, 17));
  EXPECT_TRUE(staticAcs.empty());
  EXPECT_TRUE(gf_isFailedTitle("Broken Livery"));
  EXPECT_TRUE(gf_isFailedTitle("Broken Static"));
}

TEST_F(SimResults, AStaticCreationRefusedForTooManyObjectsIsSentAgainOnceAnObjectLeaves) {
  addStaticInCreation(17, "STAT1").liveryTitle = "Airbus A320 Lufthansa";
  addStaticInCreation(18, "STAT2").waitRemove = true;
  handle(result(SimResultKind::createOverLimit, 0, 17));
  handle(result(SimResultKind::createOverLimit, 0, 18));
  ASSERT_EQ(staticAcs.size(), 1U);
  const auto sentFor = [](std::uint32_t hexid) {
    return std::any_of(simSendQueues.creations.begin(), simSendQueues.creations.end(),
                       [hexid](const CreateRequest& request) { return request.hexid == hexid; });
  };
  ticks(400);
  EXPECT_FALSE(sentFor(17)) << "no creation is handed over while the simulator is full";
  handle(result(SimResultKind::removed, 5000, 0));
  ticks(100);
  EXPECT_TRUE(sentFor(17));
  EXPECT_FALSE(gf_isFailedTitle("Airbus A320 Lufthansa"));
}

TEST_F(SimResults, ARemovedObjectBeingRespawnedGoesBackToTheBuffer) {
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 9);
  aircraft.state = AcState::liveryrespawn;
  aircraft.throttleLevel = 2;
  aircraft.flapsIndex = 1;
  handle(result(SimResultKind::removed, 9, 0));
  EXPECT_EQ(aircraft.state, AcState::buffer);
  EXPECT_EQ(aircraft.objectId, 0U);
  EXPECT_EQ(aircraft.throttleLevel, 5U);
  EXPECT_EQ(aircraft.flapsIndex, 4U);
}

TEST_F(SimResults, ARemovedObjectTakesItsRecordAndFlightPlanAlong) {
  TempFolder plans;
  flightPlanFolder = plans.path();
  const auto plan = plans.path() / gf_flightPlanPath(9);
  writeFile(plan, "plan");
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 9);
  aircraft.state = AcState::removingfromsim;
  aircraft.hasFlightPlan = true;
  addBuffered(flying(liveHexid + 1, "BBB2", 0.0, 0));
  handle(result(SimResultKind::removed, 0, 0));
  EXPECT_EQ(liveAcs.size(), 2U);
  handle(result(SimResultKind::removed, 9, 0));
  ASSERT_EQ(liveAcs.size(), 1U);
  EXPECT_EQ(liveAcs[0].callsign, "BBB2");
  EXPECT_FALSE(std::filesystem::exists(plan));
  flightPlanFolder.clear();
}

TEST_F(SimResults, ATouchdownReportedDuringTheApproachStartsTheRollOut) {
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 9);
  aircraft.approach = true;
  aircraft.staticCgHeight = 9.0;
  aircraft.staticPitch = 0.01;
  aircraft.simPos.pitch = -0.05;
  aircraft.simPos.heading = 1.2;
  handle(result(SimResultKind::inRange, 9, 1, 364.0, 0.0));
  EXPECT_TRUE(aircraft.onGround);
  EXPECT_TRUE(aircraft.rollout);
  EXPECT_TRUE(aircraft.derotate);
  EXPECT_FALSE(aircraft.approach);
  EXPECT_EQ(aircraft.rolloutHeading, 1.2);
  EXPECT_DOUBLE_EQ(aircraft.stepPitch, 0.06 / 350.0);
  EXPECT_EQ(aircraft.simPos.altitude, 373.0);
  EXPECT_EQ(eventCount(9, SPOILERS_SET), 1U);
  EXPECT_EQ(sameRegCheckQueue, (std::deque<std::uint32_t>{liveHexid}));
}

}  // namespace
}  // namespace cvl::test
