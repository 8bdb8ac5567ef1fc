#include "engine/livery_respawn.h"

#include <gtest/gtest.h>

#include "engine_ground_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

using LiveryRespawn = EngineGround;

TEST_F(LiveryRespawn, AParkedAircraftIsCreatedAgainOnItsStandWithItsHeading) {
  LiveAc& aircraft =
      activeWith({at(50.0, 8.0, 100), at(50.0, 8.0, 60480100), at(50.001, 8.0, 60480500, 5.0)}, AcPhase::parked);
  aircraft.simPos.heading = 1.2;
  tickCount = 5000;
  liveryRespawn(aircraft);

  EXPECT_EQ(aircraft.state, AcState::liveryrespawn);
  EXPECT_EQ(aircraft.respawnHeading, 1.2);
  ASSERT_EQ(aircraft.stream.size(), 2U);
  for (const TimedPosition& entry : aircraft.stream) {
    EXPECT_TRUE(entry.stationary);
    EXPECT_DOUBLE_EQ(entry.lat, 50.0);
    EXPECT_DOUBLE_EQ(entry.track, 1.2 * radiansToDegrees);
  }
  EXPECT_EQ(aircraft.stream.front().dueTick, 5001);
  ASSERT_EQ(removalBacklog.size(), 1U);
  EXPECT_EQ(removalBacklog.front(), aircraft.objectId);
}

TEST_F(LiveryRespawn, AFlyingAircraftIsCreatedAgainWhereItIsNotWhereItWasReported) {
  LiveAc& aircraft =
      activeWith({at(50.0, 8.0, 100, 250.0, 5000.0), at(50.0, 8.05, 900, 250.0, 5100.0)}, AcPhase::flying);
  aircraft.simPos.lon = 8.02;
  aircraft.simPos.altitude = 5040.0;
  liveryRespawn(aircraft);
  ASSERT_EQ(aircraft.stream.size(), 3U);
  EXPECT_DOUBLE_EQ(aircraft.stream[0].lon, 8.02);
  EXPECT_DOUBLE_EQ(aircraft.stream[0].altitude, 5040.0);
  EXPECT_FALSE(aircraft.stream[1].stationary);  // the old entry lies behind it

  LiveAc& onTheSpot = activeWith({at(50.0, 8.0, 100, 250.0, 5000.0), at(50.0, 8.05, 900, 250.0, 5100.0)},
                                 AcPhase::flying, "A320", "DLH2", 20002);
  liveryRespawn(onTheSpot);
  EXPECT_TRUE(onTheSpot.stream[1].stationary);
}

TEST_F(LiveryRespawn, AnAircraftWithoutObjectIdGoesBackToTheBufferAtOnce) {
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 100, 250.0, 5000.0)}, AcPhase::flying);
  aircraft.objectId = 0;
  liveryRespawn(aircraft);
  EXPECT_EQ(aircraft.state, AcState::buffer);
  EXPECT_TRUE(removalBacklog.empty());
  EXPECT_TRUE(logged("liveryRespawn removing act DLH1"));
}

TEST_F(LiveryRespawn, APassengerAircraftParkedOnACargoStandClearsItsCargoAttributeOnce) {
  currentParkAirport.code = "EDDF";
  ParkPos& stand = addStandWith("F234", 50.0, 8.0, 0.0, 0.02);
  stand.cargo = true;
  const auto parkedOnStand = [&](const std::string& callsign, std::uint32_t hexid, bool cargo) -> LiveAc& {
    LiveAc& aircraft = activeWith({at(50.0, 8.0, 100)}, AcPhase::parked, "A320", callsign, hexid);
    park(aircraft, stand);
    aircraft.standCargo = true;
    aircraft.cargo = cargo;
    return aircraft;
  };
  lf_clearCargoAttribute(parkedOnStand("FDX1", 20002, true));
  EXPECT_TRUE(stand.cargo);

  LiveAc& passenger = parkedOnStand("DLH1", 20001, false);
  lf_clearCargoAttribute(passenger);
  EXPECT_FALSE(stand.cargo);
  EXPECT_TRUE(stand.cargo_change);
  EXPECT_EQ(mainWindow.cargoChangedCount, 1U);
  EXPECT_TRUE(logged("EDDF stand: F234, cargo attribute set to false, DLH1"));

  lf_clearCargoAttribute(passenger);  // already clear: left alone
  EXPECT_EQ(cargoStandsCleared, 1U);
}

}  // namespace
}  // namespace cvl::test
