#include "engine/take_off.h"

#include <gtest/gtest.h>

#include "engine_ground_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

// An A320 (rotation at 140 kt) rolling for take-off at `speed`, with the reports ahead.
class TakeOff : public EngineGround {
 protected:
  LiveAc& rolling(double speed, std::initializer_list<TimedPosition> ahead, std::uint32_t hexid = 20001) {
    LiveAc& aircraft = activeWith({at(50.0, 8.0, 1000, speed)}, AcPhase::taxi, "A320", "DLH1", hexid);
    aircraft.stream.insert(aircraft.stream.end(), ahead);
    aircraft.takeOffRoll = true;
    aircraft.rollTicks = 200;
    aircraft.rotateTicks = 300;
    aircraft.rotationPitch = -6.0 * degreesToRadians;
    aircraft.climbPitch = -16.5 * degreesToRadians;
    return aircraft;
  }

  static TimedPosition climbing(double speed, double altitude, double verticalSpeed) {
    TimedPosition entry = at(50.01, 8.0, 1500, speed, altitude);
    entry.verticalSpeed = verticalSpeed;
    return entry;
  }
};

TEST_F(TakeOff, TheTakeOffStartsFrom43KtWhenTheReportsAheadClimb) {
  LiveAc& slow = rolling(42.0, {climbing(150.0, 200.0, 1000.0)});
  lf_checkTakeOffStart(slow, 500);
  EXPECT_EQ(slow.phase, AcPhase::taxi);

  LiveAc& aircraft = rolling(43.0, {climbing(150.0, 200.0, 1000.0), climbing(155.0, 400.0, 1200.0)}, 20002);
  lf_checkTakeOffStart(aircraft, 500);
  EXPECT_EQ(aircraft.phase, AcPhase::take_off);
  EXPECT_EQ(aircraft.phaseCounter, 200);
  EXPECT_DOUBLE_EQ(aircraft.stepAlt, 200.0 / 500);

  // Climbing reports still on the ground: the category's climb step.
  LiveAc& onGround = rolling(60.0, {climbing(150.0, 0.0, 600.0)}, 20003);
  lf_checkTakeOffStart(onGround, 500);
  EXPECT_EQ(onGround.phase, AcPhase::take_off);
  EXPECT_DOUBLE_EQ(onGround.stepAlt, 0.6);
}

TEST_F(TakeOff, LevelReportsAheadStartTheTakeOffOnlyAirborneAndAtRotationSpeed) {
  LiveAc& aircraft = rolling(100.0, {climbing(140.0, 100.0, 0.0), climbing(150.0, 150.0, 300.0)});
  lf_checkTakeOffStart(aircraft, 500);
  EXPECT_EQ(aircraft.phase, AcPhase::take_off);

  LiveAc& tooSlow = rolling(100.0, {climbing(139.0, 100.0, 0.0), climbing(150.0, 150.0, 300.0)}, 20002);
  lf_checkTakeOffStart(tooSlow, 500);
  EXPECT_EQ(tooSlow.phase, AcPhase::taxi);

  LiveAc& stillRolling = rolling(100.0, {climbing(140.0, 0.0, 0.0), climbing(150.0, 150.0, 300.0)}, 20003);
  lf_checkTakeOffStart(stillRolling, 500);
  EXPECT_EQ(stillRolling.phase, AcPhase::taxi);
}

TEST_F(TakeOff, TakingOffAgainFromTheRollOutGoesAroundAtFullThrottle) {
  LiveAc& aircraft = rolling(120.0, {climbing(150.0, 200.0, 1000.0)});
  aircraft.takeOffRoll = false;
  aircraft.rollout = true;
  aircraft.approach = true;
  lf_startTakeOff(aircraft);
  EXPECT_EQ(aircraft.phase, AcPhase::take_off);
  EXPECT_FALSE(aircraft.rollout);
  EXPECT_FALSE(aircraft.approach);
  EXPECT_TRUE(aircraft.takeOffRoll);
  EXPECT_EQ(lastEvent(aircraft.objectId, THROTTLE_SET), 16383);
  EXPECT_EQ(lastEvent(aircraft.objectId, LANDING_LIGHTS_SET), 1);
}

TEST_F(TakeOff, TheAircraftRotatesLiftsOffRetractsItsGearAndFliesFrom800Ft) {
  LiveAc& aircraft = rolling(150.0, {climbing(160.0, 200.0, 1500.0)});
  aircraft.heightAgl = 0.0;
  aircraft.stepAlt = 1.0;
  lf_startTakeOff(aircraft);

  // Rotation on the runway: the nose comes up, the gear leaves the ground.
  for (int tick = 0; tick < 199; ++tick) {
    lf_takeOffTick(aircraft);
  }
  EXPECT_FALSE(aircraft.onGround);
  EXPECT_EQ(aircraft.simPos.altitude, 0.0);
  EXPECT_NEAR(aircraft.simPos.pitch, -6.0 * degreesToRadians * 199.0 / 200.0, 1e-12);

  // Then a tenth, a fifth and a half of the climb step for 100 ticks each, the gear coming up at the last of them.
  for (int tick = 0; tick < 301; ++tick) {
    lf_takeOffTick(aircraft);
  }
  EXPECT_NEAR(aircraft.simPos.altitude, 99 * 0.1 + 100 * 0.2 + 100 * 0.5 + 1.0, 1e-9);
  EXPECT_EQ(lastEvent(aircraft.objectId, GEAR_SET), 0);
  EXPECT_LE(aircraft.simPos.pitch, aircraft.climbPitch);

  // Low down it climbs on in take-off; from 800 ft above ground it flies.
  for (int tick = 0; tick < 1000; ++tick) {
    lf_takeOffTick(aircraft);
  }
  EXPECT_EQ(aircraft.phase, AcPhase::take_off);
  EXPECT_EQ(aircraft.phaseCounter, -1000);
  EXPECT_EQ(eventCount(aircraft.objectId, GEAR_SET), 1U);
  aircraft.heightAgl = 800.0;
  lf_takeOffTick(aircraft);
  EXPECT_EQ(aircraft.phase, AcPhase::flying);
  EXPECT_EQ(aircraft.phaseCounter, 1);
  EXPECT_EQ(lastEvent(aircraft.objectId, THROTTLE_SET), 11468);
}

}  // namespace
}  // namespace cvl::test
