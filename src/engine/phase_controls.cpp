#include "engine/phase_controls.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/curves.h"
#include "engine/ground_paths.h"
#include "engine/motion_tables.h"
#include "engine/phase_change.h"
#include "engine/tick_count.h"

namespace cvl {

namespace {

constexpr double descentToLandFtMin = -601.0;
constexpr double ftMinPerFtTick = 6000.0;

std::int32_t lf_ticksToNext(const LiveAc& aircraft) {
  return std::max(aircraft.stream[1].dueTick - tickCount, minTravelTicks);
}

double lf_climbLimit(const LiveAc& aircraft) {
  return aircraft.maxClimbStep > 0.0 ? aircraft.maxClimbStep : gf_maxClimbStep(aircraft.category);
}

double lf_altitudeStep(const LiveAc& aircraft, std::int32_t ticks) {
  const TimedPosition& current = aircraft.stream[0];
  const TimedPosition& next = aircraft.stream[1];
  const double rate = (next.altitude - aircraft.simPos.altitude) / ticks;
  if (!current.airborne && next.airborne) {
    return next.altitude > aircraft.simPos.altitude ? std::min(rate, lf_climbLimit(aircraft)) : 0.0;
  }
  if (!next.airborne) {
    return descentToLandFtMin / ftMinPerFtTick;
  }
  return aircraft.heightAgl > 1000.0 ? std::min(rate, lf_climbLimit(aircraft))
                                     : std::min(std::max(rate, 0.2), lf_climbLimit(aircraft));
}

double lf_pitchTarget(double verticalSpeed) {
  const double v = verticalSpeed >= 0.0 ? std::min(verticalSpeed, 2400.0) : std::max(verticalSpeed, -3000.0) / 2.0;
  return (-3.0 - v / 600.0 * 2.2) * degreesToRadians;
}

}  // namespace

// Throttle, flaps, lights and the take-off trigger belong to the phase logic; here the attitude is levelled and the
// speed and curve rate follow the next entry.
void lf_groundControls(LiveAc& aircraft) {
  if (aircraft.phase == AcPhase::flying || aircraft.phase == AcPhase::parked) {
    gf_setPhase(aircraft, AcPhase::taxi);
    return;
  }
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
}

// The approach, cruise and light configurations belong to the phase logic; here the aircraft climbs, descends, turns
// and banks towards the next entry.
void lf_airControls(LiveAc& aircraft) {
  if (aircraft.phase != AcPhase::take_off && aircraft.phase != AcPhase::flying) {
    gf_setPhase(aircraft, AcPhase::flying);
  }
  const TimedPosition& next = aircraft.stream[1];
  const std::int32_t ticks = lf_ticksToNext(aircraft);
  aircraft.sendSpeed = next.tas;
  aircraft.sendVs = next.airborne ? next.verticalSpeed : descentToLandFtMin;
  if (aircraft.flareStage == 0) {
    aircraft.stepAlt = lf_altitudeStep(aircraft, ticks);
  }
  if (aircraft.phase != AcPhase::take_off) {
    const double limit = gf_maxPitchChange(aircraft.category);
    aircraft.stepPitch = std::clamp((lf_pitchTarget(aircraft.sendVs) - aircraft.simPos.pitch) / ticks, -limit, limit);
  }
  const bool reportedTurn = next.hasTrueHeading && next.roll && next.trueHeading && aircraft.heightAgl < 1000.0;
  const double turn =
      reportedTurn ? lf_wrappedAngle(*next.trueHeading - aircraft.simPos.heading) : lf_turnAhead(aircraft);
  aircraft.stepHeading = turn / ticks;
  if (next.roll) {
    aircraft.stepBank = (*next.roll - aircraft.simPos.bank) / ticks;
  } else {
    const double maxBank = gf_maxBank(aircraft.category);
    const double maxChange = gf_maxBankChange(aircraft.category);
    const double target = std::clamp(-turn, -maxBank, maxBank);
    aircraft.stepBank = std::clamp((target - aircraft.simPos.bank) / ticks, -maxChange, maxChange);
  }
}

void lf_takeOffTick(LiveAc& aircraft) {
  SimPosition& position = aircraft.simPos;
  aircraft.phaseCounter = std::max(aircraft.phaseCounter - 1, -1000);
  const std::int32_t counter = aircraft.phaseCounter;
  if (counter >= 1) {
    aircraft.onGround = false;
    if (position.pitch > aircraft.rotationPitch) {
      position.pitch += aircraft.stepPitch;
    }
    return;
  }
  position.bank = std::clamp(position.bank + aircraft.stepBank, -std::numbers::pi, std::numbers::pi);
  if (position.pitch > aircraft.climbPitch && aircraft.rotateTicks > 0) {
    position.pitch += (aircraft.climbPitch - aircraft.rotationPitch) / aircraft.rotateTicks;
  }
  if (counter > -100) {
    position.altitude += aircraft.stepAlt / 10.0;
  } else if (counter > -200) {
    position.altitude += aircraft.stepAlt / 5.0;
  } else if (counter > -300) {
    position.altitude += aircraft.stepAlt / 2.0;
  } else {
    position.altitude += aircraft.stepAlt;
  }
  if (counter < -300 && position.pitch <= aircraft.climbPitch) {
    aircraft.stepPitch = 0.0;
    if (aircraft.heightAgl >= 800.0) {
      gf_setPhase(aircraft, AcPhase::flying);
      aircraft.phaseCounter = 1;
    }
  }
}

// No approach is flown yet, so no flare stage begins.
void lf_flareTick(LiveAc& /*aircraft*/) {}

}  // namespace cvl
