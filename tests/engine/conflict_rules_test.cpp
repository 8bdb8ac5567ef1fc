#include "engine/conflict_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

#include "app/main_window.h"
#include "engine/stand_conflicts.h"
#include "engine_rules_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

// Degrees of latitude per metre.
constexpr double metreLat = 1.0 / (1852.0 * 60.0);

using Conflicts = EngineRules;

TEST_F(Conflicts, AGhostIsRemovedAndRemembered) {
  LiveAc& ghost = addLive("DLH4AB_", 20002, AcState::active, AcPhase::flying);
  addLive("DLH4AB", 20001, AcState::adding2sim, AcPhase::flying);
  EXPECT_TRUE(lf_hasLiveTwin("DLH4AB_"));
  EXPECT_FALSE(lf_hasLiveTwin("DLH4AC_"));
  EXPECT_FALSE(lf_hasLiveTwin("DLH4ABX"));  // another flight, not a ghost
  EXPECT_FALSE(lf_hasLiveTwin(""));

  lf_removeGhost("DLH4AB");

  EXPECT_EQ(ghost.state, AcState::removingfromsim);
  EXPECT_EQ(ghostCallsigns, (std::unordered_set<std::string>{"DLH4AB_"}));
  EXPECT_NE(log.body().find("DLH4AB_  is a ghost and will be removed, continue with DLH4AB"), std::string::npos);
}

TEST_F(Conflicts, StaticCallsigns) {
  EXPECT_EQ(gf_staticCallsign("DLH4AB"), "DLH4AB*");
  EXPECT_EQ(gf_staticCallsign("DLH4AB__"), "DLH4AB*");
  EXPECT_EQ(gf_staticCallsign("DLH4AB*"), "DLH4AB*");
}

TEST_F(Conflicts, ANewLiveAircraftRemovesTheStaticOneOfTheSameRegistrationOnly) {
  addStand("A1", 50.0, 8.0);
  StaticAc& queued = addStatic("X*", 1, 1, AcState::adding2sim);
  queued.registration = "D-AIAB";
  StaticAc& parked = addStatic("Y*", 2, 1, AcState::active);
  parked.registration = "D-AIAB";
  StaticAc& other = addStatic("Z*", 3, 1, AcState::active);
  other.registration = "D-AIAB";
  LiveAc& live = addLive("DLH4AB", 20001, AcState::active, AcPhase::flying);
  live.registration = "D-AIAB";

  gf_checkSameRegOrCallsign(live, false);

  EXPECT_EQ(queued.state, AcState::adding2sim);
  EXPECT_EQ(parked.state, AcState::removingfromsim);
  EXPECT_EQ(other.state, AcState::active);  // one removal per call
  EXPECT_NE(log.body().find("A1      : Y*       D-AIAB removed, new airborne 'DLH4AB' has same regcode D-AIAB"),
            std::string::npos);
}

TEST_F(Conflicts, CoupledCallsignsAndGhostsFindTheStaticAircraftOfTheFlight) {
  StaticAc& arriving = addStatic("DLH100*", 1, 0, AcState::active);
  arriving.optCallsign = "DLH100";
  arriving.cplCallsign = "DLH101";
  LiveAc& departing = addLive("DLH101", 20001, AcState::active, AcPhase::taxi);
  gf_checkSameRegOrCallsign(departing, true);
  EXPECT_EQ(arriving.state, AcState::removingfromsim);
  EXPECT_NE(log.body().find("has coupled callsign"), std::string::npos);

  StaticAc& plain = addStatic("BAW2*", 2, 0, AcState::active);
  plain.optCallsign = "BAW2";
  LiveAc& ghost = addLive("BAW2_", 20002, AcState::active, AcPhase::taxi);
  gf_checkSameRegOrCallsign(ghost, true);
  EXPECT_EQ(plain.state, AcState::removingfromsim);
}

TEST_F(Conflicts, EmptyStaticCallsignsMatchNothing) {
  StaticAc& anonymous = addStatic("S*", 1, 0, AcState::active);
  LiveAc& live = addLive("_", 20001, AcState::active, AcPhase::taxi);
  gf_checkSameRegOrCallsign(live, true);
  EXPECT_EQ(anonymous.state, AcState::active);
}

TEST_F(Conflicts, WhoMayTakeAStand) {
  addStand("A1", 50.0, 8.0);
  LiveAc& occupant = addLive("DLH1", 20001, AcState::active, AcPhase::parked);
  occupant.standId = 1;
  EXPECT_FALSE(lf_standWanted(1, "DLH1_"));  // the newcomer is the occupant's ghost
  EXPECT_EQ(occupant.state, AcState::active);
  occupant.parkedListed = true;
  EXPECT_FALSE(lf_standWanted(1, "BAW2"));
  occupant.parkedListed = false;
  EXPECT_TRUE(lf_standWanted(1, "BAW2"));
  EXPECT_EQ(occupant.state, AcState::removingfromsim);
  occupant.standId = 0;

  LiveAc& ghost = addLive("KLM3_", 20002, AcState::active, AcPhase::pushed_back);
  ghost.standId = 1;
  EXPECT_TRUE(lf_standWanted(1, "KLM3"));  // the occupant is the newcomer's ghost
  EXPECT_EQ(ghost.state, AcState::removingfromsim);
  ghost.standId = 0;

  LiveAc& shorter = addLive("EZY1", 20004, AcState::active, AcPhase::parked);
  shorter.standId = 1;
  EXPECT_TRUE(lf_standWanted(1, "EZY12"));  // another flight, not a ghost: the usual rule
  EXPECT_EQ(shorter.state, AcState::removingfromsim);
  shorter.standId = 0;

  LiveAc& taxiing = addLive("AFR4", 20003, AcState::active, AcPhase::taxi);
  taxiing.standId = 1;
  EXPECT_TRUE(lf_standWanted(1, "AFR5"));
  EXPECT_EQ(taxiing.state, AcState::active);
}

TEST_F(Conflicts, NeighbouringStandsCollideWithinBothHalfSpansAndATenthMore) {
  ParkPos& wanted = addStand("A1", 50.0, 8.0);
  addStand("A2", 50.0 + 60.0 * metreLat, 8.0);
  addStand("A3", 50.0 - 70.0 * metreLat, 8.0);
  wanted.neighbours = {3, 9, 2};
  LiveAc& atSixty = addLive("AT60", 20001, AcState::active, AcPhase::parked);
  atSixty.standId = 2;
  LiveAc& atSeventy = addLive("AT70", 20002, AcState::active, AcPhase::parked);
  atSeventy.standId = 3;
  LiveAc& newcomer = addLive("NEW1", 20003, AcState::active, AcPhase::taxi);

  const auto colliding = lf_findCollidingNeighbour(wanted.neighbours, wanted, newcomer);
  ASSERT_NE(colliding, wanted.neighbours.end());
  EXPECT_EQ(*colliding, 2U);

  lf_removeAdjacentColliding(3, newcomer, wanted);
  EXPECT_EQ(atSeventy.state, AcState::active);
  lf_removeAdjacentColliding(2, newcomer, wanted);
  EXPECT_EQ(atSixty.state, AcState::removingfromsim);
  EXPECT_EQ(lf_findCollidingNeighbour(wanted.neighbours, wanted, newcomer), wanted.neighbours.end());
}

TEST_F(Conflicts, MakingWayClearsTheStandAndTheCollidingNeighbours) {
  ParkPos& wanted = addStand("A1", 50.0, 8.0);
  addStand("A2", 50.0 + 60.0 * metreLat, 8.0);
  wanted.neighbours = {2};
  StaticAc& queued = addStatic("Q*", 1, 1, AcState::adding2sim);
  CreateRequest request{};
  request.callsign = "Q*";
  request.hexid = 1;
  staticCreateBacklog = {request};
  addStatic("N*", 2, 2, AcState::active);
  LiveAc& newcomer = addLive("NEW1", 20003, AcState::active, AcPhase::taxi);
  (void)queued;

  lf_makeWay(newcomer, wanted);

  ASSERT_EQ(staticAcs.size(), 1U);
  EXPECT_EQ(staticAcs[0].callsign, "N*");
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
  EXPECT_TRUE(staticCreateBacklog.empty());
  EXPECT_NE(log.body().find("queued A1      : Q*        makes way for NEW1"), std::string::npos);
}

TEST_F(Conflicts, AStaticTwinOfALiveAircraftOnTheGroundGoesOnePerCall) {
  LiveAc& live = addLive("DLH1", 20001, AcState::active, AcPhase::taxi);
  live.onGround = true;
  live.registration = "D-AIAA";
  addStatic("DLH1*", 1, 0, AcState::active);
  StaticAc& sameReg = addStatic("OTHER*", 2, 0, AcState::active);
  sameReg.registration = "D-AIAA";
  gf_removeStaticTwins();
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
  EXPECT_EQ(staticAcs[1].state, AcState::active);
}

TEST_F(Conflicts, AircraftInTheUsersWay) {
  engineUserPosition.latitude = 50.0;
  engineUserPosition.longitude = 8.0;
  engineUserPosition.heading = 0.0;
  engineUserPosition.altitude = 300.0;
  engineUserPosition.altitudeAboveGround = 0.0;
  const auto placeAt = [](LiveAc& aircraft, double bearingDegrees, double nm) {
    const LatLon at = gf_destinationPoint({50.0, 8.0}, bearingDegrees * degreesToRadians, nm * feetPerNauticalMile);
    aircraft.simPos.lat = at.lat;
    aircraft.simPos.lon = at.lon;
    aircraft.simPos.altitude = 5000.0;
    aircraft.onGround = true;
  };
  // Behind and to the side, 1000 ft off the user's line: not in the way, whatever the sign of the angle.
  LiveAc& behind = addLive("BEHIND", 20001, AcState::active, AcPhase::taxi);
  placeAt(behind, 200.0, 0.5);
  gf_removeAcNearUser();
  EXPECT_EQ(behind.state, AcState::active);

  LiveAc& ahead = addLive("AHEAD", 20002, AcState::active, AcPhase::taxi);
  placeAt(ahead, 0.5, 0.5);
  gf_removeAcNearUser();
  EXPECT_EQ(ahead.state, AcState::removingfromsim);

  // In the air: flying towards the user at its altitude within 4 nm.
  LiveAc& head = addLive("HEAD", 20003, AcState::active, AcPhase::flying);
  placeAt(head, 90.0, 3.0);
  head.onGround = false;
  head.simPos.altitude = 800.0;
  head.simPos.heading = 270.0 * degreesToRadians;
  gf_removeAcNearUser();
  EXPECT_EQ(head.state, AcState::removingfromsim);
}

TEST_F(Conflicts, AMovingLiveAircraftClearsStaticAircraftFromItsWay) {
  addStand("A1", 50.0, 8.0);
  StaticAc& near = addStatic("NEAR*", 1, 1, AcState::active);
  near.halfSpan = halfSpan30m;
  LiveAc& live = addLive("DLH1", 20001, AcState::active, AcPhase::taxi);
  live.halfSpan = halfSpan30m;
  live.simPos.lat = 50.0 + 60.0 * metreLat;
  live.simPos.lon = 8.0;

  live.takeOffRoll = true;
  gf_collisionAvoidStatic(live);
  EXPECT_EQ(near.state, AcState::active);

  live.takeOffRoll = false;
  gf_collisionAvoidStatic(live);
  EXPECT_EQ(near.state, AcState::removingfromsim);
  EXPECT_DOUBLE_EQ(live.collisionProbe.lat, live.simPos.lat);
}

TEST_F(Conflicts, TheReservedStandIsCleared) {
  addStand("A1", 50.0, 8.0);
  addStand("A2", 50.1, 8.0);
  StaticAc& onOther = addStatic("S1*", 1, 1, AcState::active);
  LiveAc& onReserved = addLive("DLH1", 20001, AcState::active, AcPhase::parked);
  onReserved.standId = 2;
  mainWindow.reservedStandName = std::string("A2");
  gf_clearReservedStand();
  mainWindow.reservedStandName = std::string("B9");
  gf_clearReservedStand();
  mainWindow.reservedStandName = std::string();
  EXPECT_EQ(onOther.state, AcState::active);
  EXPECT_EQ(onReserved.state, AcState::removingfromsim);
}

}  // namespace
}  // namespace cvl::test
