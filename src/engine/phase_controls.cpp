#include "engine/phase_controls.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "engine/ai_controls.h"
#include "engine/approach_config.h"
#include "engine/curves.h"
#include "engine/ground_paths.h"
#include "engine/identity_motion.h"
#include "engine/motion_tables.h"
#include "engine/phase_change.h"
#include "engine/stream_points.h"
#include "engine/take_off.h"
#include "engine/throttle_levels.h"
#include "engine/tick_count.h"
#include "parking/current_park_airport.h"
#include "simlink/client_events.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr double rolloutEndTurn = 15.0 * degreesToRadians;
constexpr double rolloutFlapsKt = 90.0;
constexpr double descentToLandFtMin = -601.0;
constexpr double climbAwayFtMin = 601.0;
constexpr double ftMinPerFtTick = 6000.0;
constexpr double levelSumFtMin = 100.0;
constexpr double approachLevelFtMin = 100.0;
constexpr double highAgl = 1000.0;
constexpr double lowestLowClimbStep = 0.2;  // feet per tick
constexpr double cruiseAltitude = 10000.0;
constexpr double steepestClimb = 2400.0;
constexpr double steepestDescent = -3000.0;
constexpr double basePitch = -3.0 * degreesToRadians;
constexpr double pitchPer600FtMin = 2.2 * degreesToRadians;
constexpr std::int32_t standardQnh = 1013;
constexpr std::int32_t furthestSkip = 10;

std::int32_t lf_ticksToNext(const LiveAc& aircraft) {
  return std::max(aircraft.stream[1].dueTick - tickCount, minTravelTicks);
}

void lf_rollThrottle(LiveAc& aircraft) {
  const double now = aircraft.stream[0].groundSpeed;
  const double next = aircraft.stream[1].groundSpeed;
  std::uint32_t level = 0;
  if (now >= 25.0 || next >= 30.0) {
    level = 4;
  } else if (now >= 20.0 || next >= 25.0) {
    level = 2;
  } else if (now >= 15.0 || next >= 20.0) {
    level = 1;
  }
  gf_setWingThrottle(aircraft, level);
}

// The roll-out ends when the aircraft turns off the runway; below 90 kt the spoilers come in.
void lf_rolloutControls(LiveAc& aircraft) {
  if (std::abs(lf_wrappedAngle(aircraft.simPos.heading - aircraft.rolloutHeading)) >= rolloutEndTurn) {
    gf_setFlaps(aircraft, 0);
    aircraft.rollout = false;
    aircraft.rolloutHeading = 0.0;
    gf_setWingThrottle(aircraft, 0);
    gf_setSpoilers(aircraft, 0);
    gf_sendAiControls(aircraft, {});
    gf_setLights(aircraft.objectId, {1, 1, 0, 1, 0, 1, 1});
  } else if (aircraft.stream[0].groundSpeed <= rolloutFlapsKt) {
    gf_setSpoilers(aircraft, 0);
    gf_sendAiControls(aircraft, {});
    gf_setFlaps(aircraft, 1);
  }
}

void lf_groundPhaseControls(LiveAc& aircraft) {
  if (aircraft.phase == AcPhase::flying || aircraft.phase == AcPhase::parked) {
    gf_setPhase(aircraft, AcPhase::taxi);
  } else if (aircraft.takeOffRoll) {
    lf_rollThrottle(aircraft);
  } else if (aircraft.rollout) {
    lf_rolloutControls(aircraft);
  } else {
    gf_setWingThrottle(aircraft, 0);
  }
}

// The next entry descends at this rate, and so does the aircraft.
void lf_descendAt(LiveAc& aircraft, double verticalSpeed) {
  aircraft.stream[1].verticalSpeed = verticalSpeed;
  aircraft.sendVs = verticalSpeed;
  aircraft.stepAlt = verticalSpeed / ftMinPerFtTick;
}

// Flying over entries reported on the ground: descend to land, or climb on to the first airborne entry.
void lf_overGroundEntries(LiveAc& aircraft) {
  const auto& stream = aircraft.stream;
  const double verticalSpeeds =
      std::accumulate(stream.begin(), stream.end(), 0.0,
                      [](double sum, const TimedPosition& entry) { return sum + entry.verticalSpeed; });
  if (aircraft.approach || verticalSpeeds <= levelSumFtMin) {
    lf_descendAt(aircraft, lf_approachDescent(aircraft));
  } else {
    const auto last = static_cast<std::int32_t>(std::min<std::size_t>(stream.size() - 1, furthestSkip));
    bool skipped = false;
    for (std::int32_t i = 3; i <= last && !skipped; ++i) {
      skipped = lf_skipToAirborne(aircraft, i);
    }
    if (!skipped) {
      TimedPosition& next = aircraft.stream[1];
      next.verticalSpeed = std::max(next.verticalSpeed, climbAwayFtMin);
      aircraft.stepAlt = next.verticalSpeed / ftMinPerFtTick;
    }
  }
  gf_setGear(aircraft, true);
}

void lf_descendToLand(LiveAc& aircraft, std::int32_t ticks) {
  const std::int32_t qnh = trafficReader.qnh.load();
  if (!currentParkAirport.code.empty() && qnh <= standardQnh) {
    aircraft.stepAlt = (currentParkAirport.alt - aircraft.simPos.altitude) / ticks;
  } else {
    lf_descendAt(aircraft, qnh > standardQnh ? lf_approachDescent(aircraft) : descentToLandFtMin);
  }
  gf_setGear(aircraft, true);
}

void lf_flyLevelOrClimb(LiveAc& aircraft, std::int32_t ticks) {
  const TimedPosition& current = aircraft.stream[0];
  const TimedPosition& next = aircraft.stream[1];
  const double rate = (next.altitude - aircraft.simPos.altitude) / ticks;
  if (!aircraft.approach) {
    const double climbStep = gf_climbStepOf(aircraft);
    aircraft.stepAlt = aircraft.heightAgl > highAgl ? std::min(rate, climbStep)
                                                    : std::min(std::max(rate, lowestLowClimbStep), climbStep);
  } else if (current.altitude != next.altitude || aircraft.heightAgl > highAgl ||
             current.verticalSpeed + next.verticalSpeed > approachLevelFtMin) {
    aircraft.stepAlt = rate;
  } else {
    lf_descendAt(aircraft, lf_approachDescent(aircraft));
  }
}

void lf_setVerticalStep(LiveAc& aircraft, std::int32_t ticks) {
  const bool currentAirborne = aircraft.stream[0].airborne;
  const bool nextAirborne = aircraft.stream[1].airborne;
  if (!currentAirborne && nextAirborne) {
    lf_climbStep(aircraft);
  } else if (!currentAirborne) {
    lf_overGroundEntries(aircraft);
  } else if (!nextAirborne) {
    lf_descendToLand(aircraft, ticks);
  } else {
    lf_flyLevelOrClimb(aircraft, ticks);
  }
}

// Nose up 3 degrees plus 2.2 degrees per 600 ft/min of climb (up to 2400), half that per 600 ft/min of descent (down
// to 3000), approached no faster than the category allows.
void lf_pitchFor(LiveAc& aircraft, double verticalSpeed, std::int32_t ticks) {
  const double v =
      verticalSpeed >= 0.0 ? std::min(verticalSpeed, steepestClimb) : std::max(verticalSpeed, steepestDescent) / 2.0;
  const double target = basePitch - v / 600.0 * pitchPer600FtMin;
  const double limit = gf_maxPitchChange(aircraft.category);
  aircraft.stepPitch = std::clamp((target - aircraft.simPos.pitch) / ticks, -limit, limit);
}

// The reported true heading when the next entry carries one low down, else the turn onto the leg after it, or onto
// the leg to it while no entry follows (a flight turned round while its reports were missing faces where it goes).
double lf_turnToNext(const LiveAc& aircraft) {
  const TimedPosition& next = aircraft.stream[1];
  const double reportedBelow = aircraft.approach ? 2000.0 : 1000.0;
  if (next.hasTrueHeading && next.roll && next.trueHeading && aircraft.heightAgl < reportedBelow) {
    return lf_wrappedAngle(*next.trueHeading - aircraft.simPos.heading);
  }
  if (aircraft.stream.size() < 3 && !gf_samePoint(aircraft.simPos, next)) {
    return lf_wrappedAngle(gf_bearing(gf_latLonOf(aircraft.simPos), gf_latLonOf(next)) - aircraft.simPos.heading);
  }
  return lf_turnAhead(aircraft);
}

void lf_cruiseConfig(LiveAc& aircraft) {
  if (aircraft.cruiseSet) {
    return;
  }
  gf_setLights(aircraft.objectId, {1, 1, 0, 0, 0, 0, 1});
  gf_setWingThrottle(aircraft, 3);
  gf_setGear(aircraft, false);
  gf_setFlaps(aircraft, 0);
  aircraft.cruiseSet = true;
  // The low-altitude lights come on again when the aircraft descends.
  aircraft.lowSet = false;
}

}  // namespace

void lf_groundControls(LiveAc& aircraft) {
  lf_groundPhaseControls(aircraft);
  if (!aircraft.rollout && !aircraft.takeOffRoll) {
    lf_narrowDueWindow(aircraft);
  }
  if (aircraft.flareStage == 0 && aircraft.phase != AcPhase::take_off) {
    aircraft.simPos.pitch = aircraft.staticPitch;
    aircraft.simPos.bank = 0.0;
    aircraft.stepPitch = 0.0;
    aircraft.stepBank = 0.0;
  }
  const std::int32_t ticks = lf_ticksToNext(aircraft);
  if (lf_hasCurve(aircraft)) {
    aircraft.curveStep = 1.0 / ticks;
  }
  const double speed = aircraft.stream[1].groundSpeed;
  aircraft.sendSpeed = aircraft.phase == AcPhase::pushing_back ? -speed : speed;
  lf_checkTakeOffStart(aircraft, ticks);
}

void lf_airControls(LiveAc& aircraft) {
  if (aircraft.phase != AcPhase::take_off && aircraft.phase != AcPhase::flying) {
    gf_setPhase(aircraft, AcPhase::flying);
  }
  aircraft.sendSpeed = aircraft.stream[1].tas;
  aircraft.sendVs = aircraft.stream[1].verticalSpeed;
  const std::int32_t ticks = lf_ticksToNext(aircraft);
  if (aircraft.flareStage == 0) {
    lf_setVerticalStep(aircraft, ticks);
  }
  // The vertical step may have skipped entries: the next entry is read again.
  const TimedPosition& next = aircraft.stream[1];
  if (aircraft.phase != AcPhase::take_off) {
    lf_pitchFor(aircraft, next.verticalSpeed, ticks);
  }
  const double turn = lf_turnToNext(aircraft);
  aircraft.stepHeading = turn / ticks;
  if (next.roll) {
    aircraft.stepBank = (*next.roll - aircraft.simPos.bank) / ticks;
  } else {
    lf_bankFromTurn(aircraft, turn, ticks);
  }
  if (aircraft.stream[0].altitude < cruiseAltitude) {
    lf_lowAltitudeConfig(aircraft);
  } else {
    lf_cruiseConfig(aircraft);
  }
}

void lf_climbStep(LiveAc& aircraft) {
  const double nextAltitude = aircraft.stream[1].altitude;
  const double altitude = aircraft.simPos.altitude;
  aircraft.stepAlt = nextAltitude > altitude
                         ? std::min((nextAltitude - altitude) / lf_ticksToNext(aircraft), gf_climbStepOf(aircraft))
                         : 0.0;
}

bool lf_skipToAirborne(LiveAc& aircraft, std::int32_t i) {
  auto& stream = aircraft.stream;
  if (i < 2 || stream.size() < static_cast<std::size_t>(i) || !stream[static_cast<std::size_t>(i) - 1].airborne) {
    return false;
  }
  stream.erase(stream.begin() + 1, stream.begin() + (i - 1));
  const double legNm = gf_distanceNM({stream[0].lat, stream[0].lon}, {stream[1].lat, stream[1].lon});
  lf_setNextDue(aircraft, std::max(lf_travelTicks(legNm, lf_pairSpeed(aircraft)), minTravelTicks));
  lf_climbStep(aircraft);
  return true;
}

void lf_bankFromTurn(LiveAc& aircraft, double turn, std::int32_t ticks) {
  const double maxBank = gf_maxBank(aircraft.category);
  const double maxChange = gf_maxBankChange(aircraft.category);
  const double target = std::clamp(-turn, -maxBank, maxBank);
  aircraft.stepBank = std::clamp((target - aircraft.simPos.bank) / ticks, -maxChange, maxChange);
}

}  // namespace cvl
