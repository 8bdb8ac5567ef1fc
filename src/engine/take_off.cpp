#include "engine/take_off.h"

#include <fmt/format.h>

#include <algorithm>
#include <numbers>

#include "engine/ac_labels.h"
#include "engine/curves.h"
#include "engine/identity_motion.h"
#include "engine/motion_tables.h"
#include "engine/phase_change.h"
#include "engine/throttle_levels.h"
#include "foundation/log.h"
#include "simlink/client_events.h"

namespace cvl {
namespace {

constexpr double takeOffTriggerKt = 43.0;
// Reports ahead that climb no faster than this still roll on the runway.
constexpr double levelVerticalSpeed = 256.0;
constexpr double lowestFirstClimbStep = 0.1;  // feet per tick
constexpr std::int32_t lowestPhaseCounter = -1000;
constexpr std::int32_t gearUpTick = -300;
constexpr double flyingHeightAgl = 800.0;
constexpr double pi = std::numbers::pi;

bool lf_airborne(const TimedPosition& entry) {
  return entry.airborne;
}

// The share of stepAlt climbed per tick after lift-off: a tenth, a fifth, a half, then all of it.
double lf_climbShare(std::int32_t counter) {
  if (counter >= 0) {
    return 0.0;
  }
  if (counter > -100) {
    return 0.1;
  }
  if (counter > -200) {
    return 0.2;
  }
  if (counter > -300) {
    return 0.5;
  }
  return 1.0;
}

void lf_climbOut(LiveAc& aircraft, std::int32_t counter) {
  SimPosition& position = aircraft.simPos;
  position.bank = std::clamp(position.bank + aircraft.stepBank, -pi, pi);
  if (position.pitch > aircraft.climbPitch) {
    position.pitch += (aircraft.climbPitch - aircraft.rotationPitch) / std::max<std::uint32_t>(aircraft.rotateTicks, 1);
  }
  position.altitude += aircraft.stepAlt * lf_climbShare(counter);
  if (counter == gearUpTick) {
    gf_setGear(aircraft, false);
  }
  if (counter < gearUpTick && position.pitch <= aircraft.climbPitch) {
    aircraft.stepPitch = 0.0;
    if (aircraft.heightAgl >= flyingHeightAgl) {
      gf_setWingThrottle(aircraft, 3);
      gf_setPhase(aircraft, AcPhase::flying);
      aircraft.phaseCounter = 1;
    }
  }
}

}  // namespace

void lf_beginTakeOffRoll(LiveAc& aircraft, std::uint32_t throttle, std::uint32_t spoilers) {
  aircraft.takeOffRoll = true;
  gf_setThrottle(aircraft, throttle);
  gf_setSpoilers(aircraft, spoilers);
  gf_setFlaps(aircraft, 1);
  aircraft.approach = false;
  aircraft.towRequest = false;
  aircraft.configured = false;
  gf_setLights(aircraft.objectId, {1, 1, 1, 1, 1, 1, 0});
  aircraft.dueAhead = 5000;
  aircraft.dueBehind = 3000;
}

void lf_towedTakeOff(LiveAc& aircraft) {
  if (aircraft.towed) {
    gf_logFlagged(fmt::format("towed aircraft takes-off? {}", gf_acLabel(aircraft)));
  }
  lf_beginTakeOffRoll(aircraft, 0, 0);
}

void lf_startTakeOff(LiveAc& aircraft) {
  aircraft.phaseCounter = std::max<std::int32_t>(static_cast<std::int32_t>(aircraft.rollTicks), 1);
  aircraft.simPos.bank = 0.0;
  aircraft.stepBank = 0.0;
  aircraft.stepPitch = (aircraft.rotationPitch - aircraft.simPos.pitch) / aircraft.phaseCounter;
  if (!aircraft.takeOffRoll) {
    lf_towedTakeOff(aircraft);
  }
  gf_setPhase(aircraft, AcPhase::take_off);
  aircraft.stepHeading = 0.0;
  lf_clearCurve(aircraft);
  if (aircraft.rollout) {
    aircraft.rollout = false;
    aircraft.approach = false;
    aircraft.towRequest = false;
    gf_setThrottle(aircraft, 4);
    gf_setSpoilers(aircraft, 1);
    gf_setFlaps(aircraft, 1);
  }
}

bool lf_allAtRotationSpeed(const LiveAc& aircraft) {
  const double rotationSpeed = gf_rotationSpeed(aircraft.category);
  return std::all_of(aircraft.stream.begin() + 1, aircraft.stream.end(),
                     [rotationSpeed](const TimedPosition& entry) { return entry.groundSpeed >= rotationSpeed; });
}

void lf_checkTakeOffStart(LiveAc& aircraft, std::int32_t ticks) {
  const auto& stream = aircraft.stream;
  if (!aircraft.takeOffRoll || aircraft.phase == AcPhase::take_off || stream.size() < 2 ||
      stream[0].groundSpeed < takeOffTriggerKt) {
    return;
  }
  const auto ahead = stream.begin() + 1;
  const bool levelAhead = std::any_of(
      ahead, stream.end(), [](const TimedPosition& entry) { return entry.verticalSpeed <= levelVerticalSpeed; });
  const bool allAirborne = std::all_of(ahead, stream.end(), lf_airborne);
  if (levelAhead) {
    if (!lf_allAtRotationSpeed(aircraft) || !allAirborne) {
      return;
    }
    aircraft.stepAlt = gf_climbStepOf(aircraft);
  } else if (!allAirborne) {
    aircraft.stepAlt = gf_climbStepOf(aircraft);
  } else {
    aircraft.stepAlt = std::max(stream[1].altitude - aircraft.simPos.altitude, lowestFirstClimbStep) / ticks;
  }
  lf_startTakeOff(aircraft);
}

void lf_takeOffTick(LiveAc& aircraft) {
  aircraft.phaseCounter = std::max(aircraft.phaseCounter - 1, lowestPhaseCounter);
  const std::int32_t counter = aircraft.phaseCounter;
  if (counter >= 1) {
    // Rotation on the runway.
    aircraft.onGround = false;
    if (aircraft.simPos.pitch > aircraft.rotationPitch) {
      aircraft.simPos.pitch += aircraft.stepPitch;
    }
    return;
  }
  lf_climbOut(aircraft, counter);
}

}  // namespace cvl
